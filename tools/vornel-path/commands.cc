// Each subcommand applies one operation of the path library to every path
// (join, concat and common: to all of them at once) and states what it
// found; run_command writes each answer as a record.
#include "commands.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "forms.h"
#include "job.h"

namespace vornel::tool {
namespace {

// Sixteen hexadecimal digits, zeros in front.
std::string hex64(std::uint64_t value) {
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return std::string(16 - (end - digits), '0').append(digits, end);
}

Answer verdict(bool holds) { return {Value::boolean(holds), holds ? 0 : 1}; }

Answer found(Value result) { return {result, result.kind == Value::kNone ? 1 : 0}; }

constexpr std::array<Command, kCommandCount> kCommands = {{
    {"parts", {}, {}, 0, Plain::kTable,
     "take each PATH apart: root, relative part, parent, filename, components",
     "Writes, for each PATH, one line per part: path, root_directory,\n"
     "relative_path, parent_path, filename, stem, extension and absolute, each\n"
     "as NAME<TAB>VALUE, then 'component<TAB>POS<TAB>KIND<TAB>TEXT' for each\n"
     "component (POS is its byte offset in PATH, KIND is root-directory or\n"
     "filename; a trailing separator gives a last, empty filename), then an\n"
     "empty line. With --json, one record per PATH with the same names, and\n"
     "the number of components as its result.\n",
     [](Job& job, std::string_view text) { return job.state<Parts>().answer(text); }},
    {"parent", {}, {}, 0, Plain::kResult, "each PATH without its last element",
     "Writes each PATH without its last element and the separators before it.\n"
     "A root stays as it is written; a single relative name has the empty\n"
     "parent; a trailing separator is an empty last element.\n"
     "  vornel-path parent /usr/lib/libc.so  =>  /usr/lib\n"
     "  vornel-path parent /usr/lib/         =>  /usr/lib\n"
     "  vornel-path parent ////              =>  ////   (but //a gives /)\n",
     [](Job&, std::string_view text) { return Answer{Value::bytes(forms::parent(text))}; }},
    {"filename", {}, {}, 0, Plain::kResult, "the last filename of each PATH",
     "Writes the last filename of each PATH: empty when PATH ends in a separator\n"
     "or is only a root.\n"
     "  vornel-path filename /usr/lib/libc.so  =>  libc.so\n",
     [](Job&, std::string_view text) { return Answer{Value::bytes(forms::filename(text))}; }},
    {"stem", {}, {}, 0, Plain::kResult,
     "the filename of each PATH without its extension",
     "Writes the filename of each PATH without its extension.\n"
     "  vornel-path stem src/a.tar.gz  =>  a.tar\n"
     "  vornel-path stem .profile      =>  .profile\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{op.stored(op.path_of(text).stem())};
     }},
    {"extension", {}, {}, 0, Plain::kResult, "the extension of each PATH's filename",
     "Writes the extension of the filename of each PATH: from its last dot to\n"
     "its end. A filename that only begins with a dot ('.profile'), '.' and '..'\n"
     "have none.\n"
     "  vornel-path extension src/a.tar.gz  =>  .gz\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{op.stored(op.path_of(text).extension())};
     }},
    {"root", {}, {}, 0, Plain::kResult,
     "the root of each PATH: '/' when absolute, else empty",
     "Writes the root path of each PATH: '/' when PATH begins with a separator,\n"
     "and empty otherwise.\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{op.stored(op.path_of(text).root_path())};
     }},
    {"is-absolute", {}, {}, 0, Plain::kSilent,
     "exit status 0 when every PATH is absolute, else 1",
     "Prints nothing (one record per PATH with --json) and exits with status 0\n"
     "when every PATH is absolute, that is begins with '/', and 1 otherwise, as\n"
     "test(1) does.\n"
     "  vornel-path is-absolute /etc && echo absolute\n",
     [](Job& job, std::string_view text) {
       return verdict(job.state<Operation>().path_of(text).is_absolute());
     }},
    {"normal", {}, {}, 0, Plain::kResult,
     "the normal form: '.' dropped, 'dir/..' cancelled, one separator",
     "Writes the lexical normal form of each PATH: '.' elements are removed, a\n"
     "filename followed by '..' cancels out, '..' right after the root is\n"
     "dropped and separator runs collapse. A trailing separator stays, and so\n"
     "does the one before a final '.' or a cancelled 'dir/..'; a final '..'\n"
     "loses its own. A result that would be empty is '.', but the empty path\n"
     "stays empty.\n"
     "  vornel-path normal a/./b/../c//   =>  a/c/\n"
     "  vornel-path normal a/b/..         =>  a/\n"
     "  vornel-path normal ../            =>  ..\n",
     [](Job& job, std::string_view text) { return Answer{job.state<Operation>().normal(text)}; }},
    {"absolute", {}, {}, kCwd, Plain::kResult,
     "each PATH made absolute against the working directory, in normal form",
     "Writes each PATH made absolute against the working directory, read once,\n"
     "or against DIR with --cwd DIR, in normal form (see 'vornel-path normal\n"
     "--help') and without a trailing separator: 'realpath -s -m PATH' in the\n"
     "same directory, from the names alone. The empty PATH, and an empty DIR,\n"
     "are the working directory itself; a relative DIR is taken from it. No\n"
     "file system is consulted, and links are not followed.\n"
     "  vornel-path absolute --cwd /srv a/../b/  =>  /srv/b\n"
     "  vornel-path absolute /usr/./lib/..      =>  /usr\n",
     [](Job& job, std::string_view text) {
       return Answer{job.state<WorkingDirectory>().absolute(text)};
     }},
    {"relative", "BASE", "base", kLexical | kCwd, Plain::kResult,
     "the path that leads from BASE to each PATH",
     "Writes the path that leads from BASE to each PATH, as 'realpath -s -m\n"
     "--relative-to=BASE PATH' does: both are made absolute as 'vornel-path\n"
     "absolute' makes them, and '..' is written for every further directory\n"
     "of BASE, then the rest of PATH. The working directory is read only\n"
     "where the names alone do not decide (one of them absolute and the other\n"
     "not, or one climbing with '..' further than the other), so every pair\n"
     "has an answer. An empty BASE or PATH is the working directory.\n"
     "With --lexical, BASE and PATH are related exactly as written, and the\n"
     "working directory is never read: '.' and '..' are elements like names,\n"
     "and may stay in the result. Where the text gives no relative path (one\n"
     "of them absolute and the other not, or BASE climbing with '..' above\n"
     "what it shares with PATH), the record is empty (null in JSON) and the\n"
     "exit status is 1.\n"
     "  vornel-path relative build/debug build/release/bin  =>  ../release/bin\n"
     "  vornel-path relative a/../b a                        =>  ../a\n"
     "  vornel-path relative --cwd /usr/src /usr/lib ../bin  =>  ../bin\n"
     "  vornel-path relative . ''                            =>  .\n"
     "  vornel-path --lexical relative ../a b                =>  (none: exit 1)\n",
     [](Job& job, std::string_view text) { return found(job.state<Relation>().relative(text)); }},
    {"proximate", "BASE", "base", kLexical | kCwd, Plain::kResult,
     "like relative, but PATH itself where there is no relative path",
     "Writes the relative path from BASE to each PATH (see 'vornel-path\n"
     "relative --help'), which every pair has unless --lexical is given; with\n"
     "--lexical, PATH as written where the text gives none.\n"
     "  vornel-path --lexical proximate src /usr/./include/  =>  /usr/./include/\n",
     [](Job& job, std::string_view text) {
       return Answer{job.state<Relation>().proximate(text)};
     }},
    {"is-within", "DIR", "dir", kLexical | kCwd, Plain::kSilent,
     "exit status 0 when every PATH lies in DIR or is DIR, else 1",
     "Prints nothing (one record per PATH with --json) and exits with status 0\n"
     "when every PATH lies in DIR or is DIR, and 1 otherwise: when PATH made\n"
     "absolute (see 'vornel-path absolute --help') is DIR made absolute or\n"
     "lies below it. '/' holds every path. The working directory is read only\n"
     "where the names alone do not decide.\n"
     "With --lexical the text alone decides and the working directory is\n"
     "never read: PATH must begin with the elements of DIR (beyond which DIR\n"
     "may only have '.' and a trailing separator), and from there on no '..'\n"
     "of PATH may climb above DIR. An absolute PATH never lies in a relative\n"
     "DIR, nor a relative one in an absolute DIR; where the text cannot tell,\n"
     "the answer is no.\n"
     "  vornel-path is-within /a /a/b/../c  =>  exit status 0\n"
     "  vornel-path is-within /a /a/../b    =>  exit status 1\n"
     "  vornel-path --lexical is-within /srv /srv/x/../../etc  =>  exit status 1\n",
     [](Job& job, std::string_view text) { return verdict(job.state<Relation>().holds(text)); }},
    {"common", {}, {}, kLexical | kCwd, Plain::kResult,
     "the longest path that contains every PATH",
     "Writes one result: the longest path that contains every PATH. The PATHs\n"
     "are made absolute as 'vornel-path absolute' makes them (the working\n"
     "directory is read only where the names alone do not decide), and the\n"
     "answer is the longest run of leading elements that all of them share:\n"
     "absolute when any PATH is absolute, else relative to the working\n"
     "directory, which is the empty path itself. With no PATH the record is\n"
     "empty (null in JSON) and the exit status is 1.\n"
     "With --lexical the PATHs are taken as written and the working directory\n"
     "is never read: the answer is the longest run of leading elements that\n"
     "all PATHs share and above which none climbs with '..'. Where there is\n"
     "none (an absolute and a relative PATH, or relative PATHs that climb\n"
     "above where they start), the record is empty and the exit status is 1.\n"
     "  vornel-path common /a/b/c /a/b/d /a/bx  =>  /a\n"
     "  vornel-path common --cwd /srv a ../a    =>  ..\n",
     [](Job& job, std::string_view text) {
       job.state<Common>().add(text);
       return Answer{};
     },
     [](Job& job) { return job.state<Common>().answer(); }},
    {"join", {}, {}, 0, Plain::kResult,
     "all PATHs joined by separators; an absolute one starts afresh",
     "Appends the PATHs in turn, with a separator where the path so far ends\n"
     "in a filename, and writes the one result. A PATH that begins with '/'\n"
     "replaces everything before it; an empty PATH adds a trailing separator.\n"
     "  vornel-path join /opt tool lib      =>  /opt/tool/lib\n"
     "  vornel-path join /opt /etc passwd   =>  /etc/passwd\n",
     [](Job& job, std::string_view text) {
       forms::join(job.state<Fold>().result, text);
       return Answer{};
     },
     [](Job& job) { return Answer{Value::bytes(job.state<Fold>().result)}; }},
    {"concat", {}, {}, 0, Plain::kResult, "all PATHs joined with nothing between them",
     "Concatenates the PATHs as bytes, with no separator added, and writes the\n"
     "one result.\n"
     "  vornel-path concat dir/file .txt  =>  dir/file.txt\n",
     [](Job& job, std::string_view text) {
       job.state<Fold>().result.append(text);
       return Answer{};
     },
     [](Job& job) { return Answer{Value::bytes(job.state<Fold>().result)}; }},
    {"remove-filename", {}, {}, 0, Plain::kResult,
     "each PATH without its last filename",
     "Writes each PATH without its last filename; the separator before it\n"
     "stays. A PATH that ends in a separator is unchanged.\n"
     "  vornel-path remove-filename a/b/c  =>  a/b/\n",
     [](Job& job, std::string_view text) {
       const auto& rest = job.state<Operation>().path_of(text).remove_filename();
       return Answer{Value::bytes(rest.native())};
     }},
    {"replace-filename", "NAME", {}, 0, Plain::kResult,
     "each PATH with its last filename replaced by NAME",
     "Writes each PATH with its last filename removed and NAME appended in\n"
     "its place.\n"
     "  vornel-path replace-filename c.txt a/b.txt  =>  a/c.txt\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{Value::bytes(op.path_of(text).replace_filename(op.operand()).native())};
     }},
    {"replace-extension", "EXT", {}, 0, Plain::kResult,
     "each PATH with its extension replaced by EXT",
     "Writes each PATH with the extension of its filename removed and EXT\n"
     "added; a dot is put in front of EXT when it has none, and an empty EXT\n"
     "just removes the extension. A leading dot ('.profile') is no extension.\n"
     "  vornel-path replace-extension .md notes/a.txt  =>  notes/a.md\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{Value::bytes(op.path_of(text).replace_extension(op.operand()).native())};
     }},
    {"compare", "A", "other", 0, Plain::kResult, "the order of A against each PATH: -1, 0 or 1",
     "Compares A with each PATH element by element (so 'a//b' equals 'a/b')\n"
     "and writes -1, 0 or 1 as A sorts before, equal to or after PATH. The\n"
     "exit status is 1 when any PATH differs from A.\n"
     "  vornel-path compare a//b/ a/b/  =>  0\n",
     [](Job& job, std::string_view text) {
       const int order = job.state<Operation>().operand().compare(text);
       return Answer{Value::literal(order < 0 ? "-1" : order > 0 ? "1" : "0"), order != 0};
     }},
    {"hash", {}, {}, 0, Plain::kResult,
     "the hash of each PATH, as 16 hexadecimal digits",
     "Writes the library's hash of each PATH as 16 hexadecimal digits. It\n"
     "follows the elements of the path, so 'a//b' and 'a/b' hash alike.\n",
     [](Job& job, std::string_view text) {
       Operation& op = job.state<Operation>();
       return Answer{op.stored(hex64(std::filesystem::hash_value(op.path_of(text))))};
     }},
}};
static_assert(!kCommands.back().name.empty(), "kCommandCount counts more commands than there are");

}  // namespace

int run_command(const Command& command, const Request& request, PathSource& paths,
                Output& out) {
  Job job(request);
  const Field operand{command.operand_key, Value::bytes(request.operand)};
  std::string_view text;
  if (command.result) {
    out.begin_inputs();
    while (out.ok() && paths.next(text)) {
      out.next_input(text);
      command.answer(job, text);
    }
    // What the PATHs read so far give is no answer for all of them.
    if (paths.error()) {
      out.abandon();
      return 0;
    }
    const Answer answer = command.result(job);
    out.write({{}, nullptr, 0, answer.result}, command.plain);
    return answer.status;
  }
  int status = 0;
  while (out.ok() && paths.next(text)) {
    const Answer answer = command.answer(job, text);
    if (answer.fields)
      out.write({text, answer.fields, answer.field_count, answer.result}, command.plain);
    else
      out.write({text, &operand, command.operand_key.empty() ? 0u : 1u, answer.result},
                command.plain);
    status |= answer.status;
  }
  return status;
}

const std::array<Command, kCommandCount>& commands() { return kCommands; }

const Command* find_command(std::string_view name) {
  for (const Command& command : kCommands)
    if (command.name == name) return &command;
  return nullptr;
}

}  // namespace vornel::tool
