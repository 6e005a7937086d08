// Each subcommand applies one operation of the path library to every path
// and writes one record per path (join and concat: one for all of them).
#include "commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <fs_path>
#include <iterator>

#include "json.h"

namespace vornel::tool {
namespace {

using std::filesystem::path;

template <typename Fn>
int each_path(PathSource& paths, Output& out, Fn&& apply) {
  int status = 0;
  std::string_view text;
  while (out.ok() && paths.next(text)) status |= apply(text);
  return status;
}

Output& open_record(Output& out, std::string_view input) {
  return out.raw("{\"path\":").string(input);
}

void close_record(Output& out) {
  out.raw("}");
  out.end_line();
}

void write_result(Output& out, std::string_view input, const path& result) {
  if (out.json()) {
    open_record(out, input).field("result").string(result.native());
    close_record(out);
  } else {
    out.raw(result.native());
    out.end_line();
  }
}

const char* kind_name(path::_Type kind) {
  switch (kind) {
    case path::_Type::_Rootname: return "root-name";
    case path::_Type::_Rootdir: return "root-directory";
    default: return "filename";
  }
}

std::string_view decimal(char (&buffer)[24], std::size_t value) {
  return std::string_view(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

// Sixteen hexadecimal digits, zeros in front.
std::string_view hex64(char (&buffer)[16], std::uint64_t value) {
  char* end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
  std::copy_backward(buffer, end, buffer + sizeof buffer);
  std::fill(buffer, buffer + (buffer + sizeof buffer - end), '0');
  return std::string_view(buffer, sizeof buffer);
}

// Components as the iteration yields them; for a path of several components
// each element is a component that knows its byte position.
template <typename Fn>
void each_component(const path& p, Fn&& visit) {
  const bool multi = p._M_type() == path::_Type::_Multi;
  for (const path& element : p) {
    const std::size_t pos = multi ? static_cast<const path::_Cmpt&>(element)._M_pos : 0;
    visit(element.native(), element._M_type(), pos);
  }
}

using Parts = std::array<std::pair<const char*, path>, 6>;

Parts parts_of(const path& p) {
  return {{{"root_directory", p.root_directory()},
           {"relative_path", p.relative_path()},
           {"parent_path", p.parent_path()},
           {"filename", p.filename()},
           {"stem", p.stem()},
           {"extension", p.extension()}}};
}

void write_parts_json(Output& out, std::string_view text, const path& p) {
  char digits[24];
  open_record(out, text).field("result");
  out.raw(decimal(digits, std::distance(p.begin(), p.end())));
  for (const auto& [key, value] : parts_of(p)) out.field(key).string(value.native());
  out.field("absolute").raw(p.is_absolute() ? "true" : "false");
  out.field("components").raw("[");
  const char* comma = "";
  each_component(p, [&](std::string_view part, path::_Type kind, std::size_t pos) {
    out.raw(comma).raw("{\"text\":").string(part).field("kind").raw("\"").raw(kind_name(kind));
    out.raw("\"").field("pos").raw(decimal(digits, pos)).raw("}");
    comma = ",";
  });
  out.raw("]");
  close_record(out);
}

void write_parts_text(Output& out, std::string_view text, const path& p) {
  out.raw("path\t").raw(text).end_line();
  for (const auto& [key, value] : parts_of(p)) out.raw(key).raw("\t").raw(value.native()).end_line();
  out.raw("absolute\t").raw(p.is_absolute() ? "true" : "false").end_line();
  char digits[24];
  each_component(p, [&](std::string_view part, path::_Type kind, std::size_t pos) {
    out.raw("component\t").raw(decimal(digits, pos)).raw("\t").raw(kind_name(kind));
    out.raw("\t").raw(part).end_line();
  });
  out.end_line();
}

int run_parts(const Request&, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    const path p(text);
    if (out.json())
      write_parts_json(out, text, p);
    else
      write_parts_text(out, text, p);
    return 0;
  });
}

// Writes, for each PATH, what `derive` makes of a fresh path of it.
template <typename Derive>
int derive_each(PathSource& paths, Output& out, Derive derive) {
  return each_path(paths, out, [&](std::string_view text) {
    path p(text);
    write_result(out, text, derive(p));
    return 0;
  });
}

int run_parent(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.parent_path(); });
}

int run_filename(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.filename(); });
}

int run_stem(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.stem(); });
}

int run_extension(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.extension(); });
}

int run_root(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.root_path(); });
}

int run_is_absolute(const Request&, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    const bool absolute = path(text).is_absolute();
    if (out.json()) {
      open_record(out, text).field("result").raw(absolute ? "true" : "false");
      close_record(out);
    }
    return absolute ? 0 : 1;
  });
}

int run_normal(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](const path& p) { return p.lexically_normal(); });
}

// An operand of relative or proximate as realpath -s -m reads it, from the
// text alone: in normal form, without a trailing separator.
path normalised(std::string_view text) {
  path p = path(text).lexically_normal();
  if (!p.has_filename() && p.has_relative_path()) return p.parent_path();
  return p;
}

// A normalised operand as the relative form takes it. The normal form is "."
// only for a path that names where it starts; that counts no level, as the
// empty path does, and must not come out as a trailing "." of the result.
const path& as_operand(const path& normal) {
  static const path kNowhere;
  return normal.native() == "." ? kNowhere : normal;
}

// Writes a record of relative or proximate; `none` marks a relative path
// that does not exist.
void write_relation(Output& out, std::string_view input, std::string_view base,
                    const path& result, bool none) {
  if (!out.json()) {
    out.raw(result.native());
    out.end_line();
    return;
  }
  open_record(out, input).field("base").string(base).field("result");
  if (none)
    out.raw("null");
  else
    out.string(result.native());
  close_record(out);
}

// relative and proximate: by default both operands normalised, so that ".."
// in BASE is resolved before the common part is sought; an empty relative
// form means that the text alone leads nowhere.
int relate_each(const Request& request, PathSource& paths, Output& out, bool proximate) {
  const path base = request.lexical ? path(request.operand) : normalised(request.operand);
  const path& from = request.lexical ? base : as_operand(base);
  return each_path(paths, out, [&](std::string_view text) {
    const path p = request.lexical ? path(text) : normalised(text);
    path result = (request.lexical ? p : as_operand(p)).lexically_relative(from);
    const bool none = result.empty() && !proximate;
    if (result.empty() && proximate) result = p;
    write_relation(out, text, request.operand, result, none);
    return none ? 1 : 0;
  });
}

int run_relative(const Request& request, PathSource& paths, Output& out) {
  return relate_each(request, paths, out, false);
}

int run_proximate(const Request& request, PathSource& paths, Output& out) {
  return relate_each(request, paths, out, true);
}

// join and concat: one record for all PATHs, whose "path" lists them.
template <typename Combine>
int fold(PathSource& paths, Output& out, Combine&& combine) {
  path result;
  std::string inputs = "[";
  each_path(paths, out, [&](std::string_view text) {
    combine(result, text);
    if (out.json()) {
      if (inputs.size() > 1) inputs += ',';
      append_json_string(inputs, text);
    }
    return 0;
  });
  if (out.json()) {
    out.raw("{\"path\":").raw(inputs).raw("]").field("result").string(result.native());
    close_record(out);
  } else {
    out.raw(result.native());
    out.end_line();
  }
  return 0;
}

int run_join(const Request&, PathSource& paths, Output& out) {
  return fold(paths, out, [](path& result, std::string_view text) { result.append(text); });
}

int run_concat(const Request&, PathSource& paths, Output& out) {
  return fold(paths, out, [](path& result, std::string_view text) { result.concat(text); });
}

int run_remove_filename(const Request&, PathSource& paths, Output& out) {
  return derive_each(paths, out, [](path& p) -> const path& { return p.remove_filename(); });
}

int run_replace_filename(const Request& request, PathSource& paths, Output& out) {
  const path name(request.operand);
  return derive_each(paths, out,
                     [&](path& p) -> const path& { return p.replace_filename(name); });
}

int run_replace_extension(const Request& request, PathSource& paths, Output& out) {
  const path extension(request.operand);
  return derive_each(paths, out,
                     [&](path& p) -> const path& { return p.replace_extension(extension); });
}

int run_compare(const Request& request, PathSource& paths, Output& out) {
  const path first(request.operand);
  return each_path(paths, out, [&](std::string_view text) {
    const int order = first.compare(text);
    const char* sign = order < 0 ? "-1" : order > 0 ? "1" : "0";
    if (out.json()) {
      open_record(out, text).field("other").string(request.operand).field("result").raw(sign);
      close_record(out);
    } else {
      out.raw(sign);
      out.end_line();
    }
    return order != 0 ? 1 : 0;
  });
}

int run_hash(const Request&, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    char buffer[16];
    const std::string_view hex = hex64(buffer, std::filesystem::hash_value(path(text)));
    if (out.json()) {
      open_record(out, text).field("result").raw("\"").raw(hex).raw("\"");
      close_record(out);
    } else {
      out.raw(hex);
      out.end_line();
    }
    return 0;
  });
}

}  // namespace

const std::vector<Command>& commands() {
  static const std::vector<Command> all = {
      {"parts", nullptr, false,
       "take each PATH apart: root, relative part, parent, filename, components",
       "Writes, for each PATH, one line per part: path, root_directory,\n"
       "relative_path, parent_path, filename, stem, extension and absolute, each\n"
       "as NAME<TAB>VALUE, then 'component<TAB>POS<TAB>KIND<TAB>TEXT' for each\n"
       "component (POS is its byte offset in PATH, KIND is root-directory or\n"
       "filename; a trailing separator gives a last, empty filename), then an\n"
       "empty line. With --json, one record per PATH with the same names, and\n"
       "the number of components as its result.\n",
       run_parts},
      {"parent", nullptr, false, "each PATH without its last element",
       "Writes each PATH without its last element and the separators before it.\n"
       "A root stays; a single relative name has the empty parent; a trailing\n"
       "separator is an empty last element.\n"
       "  vornel-path parent /usr/lib/libc.so  =>  /usr/lib\n"
       "  vornel-path parent /usr/lib/         =>  /usr/lib\n",
       run_parent},
      {"filename", nullptr, false, "the last filename of each PATH",
       "Writes the last filename of each PATH: empty when PATH ends in a separator\n"
       "or is only a root.\n"
       "  vornel-path filename /usr/lib/libc.so  =>  libc.so\n",
       run_filename},
      {"stem", nullptr, false, "the filename of each PATH without its extension",
       "Writes the filename of each PATH without its extension.\n"
       "  vornel-path stem src/a.tar.gz  =>  a.tar\n"
       "  vornel-path stem .profile      =>  .profile\n",
       run_stem},
      {"extension", nullptr, false, "the extension of each PATH's filename",
       "Writes the extension of the filename of each PATH: from its last dot to\n"
       "its end. A filename that only begins with a dot ('.profile'), '.' and '..'\n"
       "have none.\n"
       "  vornel-path extension src/a.tar.gz  =>  .gz\n",
       run_extension},
      {"root", nullptr, false, "the root of each PATH: '/' when absolute, else empty",
       "Writes the root path of each PATH: '/' when PATH begins with a separator,\n"
       "and empty otherwise.\n",
       run_root},
      {"is-absolute", nullptr, false, "exit status 0 when every PATH is absolute, else 1",
       "Prints nothing (one record per PATH with --json) and exits with status 0\n"
       "when every PATH is absolute, that is begins with '/', and 1 otherwise, as\n"
       "test(1) does.\n"
       "  vornel-path is-absolute /etc && echo absolute\n",
       run_is_absolute},
      {"normal", nullptr, false, "the normal form: '.' dropped, 'dir/..' cancelled, one separator",
       "Writes the lexical normal form of each PATH: '.' elements are removed, a\n"
       "filename followed by '..' cancels out, '..' right after the root is\n"
       "dropped and separator runs collapse. A trailing separator stays; a result\n"
       "that would be empty is '.', but the empty path stays empty.\n"
       "  vornel-path normal a/./b/../c//   =>  a/c/\n",
       run_normal},
      {"relative", "BASE", true, "the path that leads from BASE to each PATH",
       "Writes the path that leads from BASE to each PATH. Both are first brought\n"
       "to normal form (see 'vornel-path normal --help') and lose a trailing\n"
       "separator, from the text alone, as 'realpath -s -m --relative-to=BASE\n"
       "PATH' does without its file system steps. Then '..' is written for every\n"
       "further directory of BASE, and the rest of PATH after it. Where the text\n"
       "gives no such path (one of them is absolute and the other not, or BASE\n"
       "climbs with '..' above what it shares with PATH), the record is empty\n"
       "(null in JSON) and the exit status is 1.\n"
       "With --lexical, BASE and PATH are related exactly as written: '.' and\n"
       "'..' are elements like names, and may stay in the result.\n"
       "  vornel-path relative build/debug build/release/bin  =>  ../release/bin\n"
       "  vornel-path relative a/../b a                        =>  ../a\n"
       "  vornel-path relative ../a b                          =>  (none: exit 1)\n",
       run_relative},
      {"proximate", "BASE", true, "like relative, but PATH itself where there is no relative path",
       "Writes the relative path from BASE to each PATH, or else PATH normalised\n"
       "(as written, with --lexical). See 'vornel-path relative --help'.\n"
       "  vornel-path proximate src /usr/./include/  =>  /usr/include\n",
       run_proximate},
      {"join", nullptr, false, "all PATHs joined by separators; an absolute one starts afresh",
       "Appends the PATHs in turn, with a separator where the path so far ends\n"
       "in a filename, and writes the one result. A PATH that begins with '/'\n"
       "replaces everything before it; an empty PATH adds a trailing separator.\n"
       "  vornel-path join /opt tool lib      =>  /opt/tool/lib\n"
       "  vornel-path join /opt /etc passwd   =>  /etc/passwd\n",
       run_join},
      {"concat", nullptr, false, "all PATHs joined with nothing between them",
       "Concatenates the PATHs as bytes, with no separator added, and writes the\n"
       "one result.\n"
       "  vornel-path concat dir/file .txt  =>  dir/file.txt\n",
       run_concat},
      {"remove-filename", nullptr, false, "each PATH without its last filename",
       "Writes each PATH without its last filename; the separator before it\n"
       "stays. A PATH that ends in a separator is unchanged.\n"
       "  vornel-path remove-filename a/b/c  =>  a/b/\n",
       run_remove_filename},
      {"replace-filename", "NAME", false, "each PATH with its last filename replaced by NAME",
       "Writes each PATH with its last filename removed and NAME appended in\n"
       "its place.\n"
       "  vornel-path replace-filename c.txt a/b.txt  =>  a/c.txt\n",
       run_replace_filename},
      {"replace-extension", "EXT", false, "each PATH with its extension replaced by EXT",
       "Writes each PATH with the extension of its filename removed and EXT\n"
       "added; a dot is put in front of EXT when it has none, and an empty EXT\n"
       "just removes the extension. A leading dot ('.profile') is no extension.\n"
       "  vornel-path replace-extension .md notes/a.txt  =>  notes/a.md\n",
       run_replace_extension},
      {"compare", "A", false, "the order of A against each PATH: -1, 0 or 1",
       "Compares A with each PATH element by element (so 'a//b' equals 'a/b')\n"
       "and writes -1, 0 or 1 as A sorts before, equal to or after PATH. The\n"
       "exit status is 1 when any PATH differs from A.\n"
       "  vornel-path compare a//b/ a/b/  =>  0\n",
       run_compare},
      {"hash", nullptr, false, "the hash of each PATH, as 16 hexadecimal digits",
       "Writes the library's hash of each PATH as 16 hexadecimal digits. It\n"
       "follows the elements of the path, so 'a//b' and 'a/b' hash alike.\n",
       run_hash},
  };
  return all;
}

const Command* find_command(std::string_view name) {
  for (const Command& command : commands())
    if (command.name == name) return &command;
  return nullptr;
}

}  // namespace vornel::tool
