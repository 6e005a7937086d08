// Each subcommand applies one operation of the path library to every path
// and writes one record per path (join and concat: one for all of them).
#include "commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <fs_path>

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

void write_result(Output& out, std::string_view input, const path& result) {
  if (out.json())
    out.raw("{\"path\":").string(input).raw(",\"result\":").string(result.native()).raw("}");
  else
    out.raw(result.native());
  out.end_line();
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
  out.raw("{\"path\":").string(text);
  for (const auto& [key, value] : parts_of(p))
    out.raw(",\"").raw(key).raw("\":").string(value.native());
  out.raw(",\"absolute\":").raw(p.is_absolute() ? "true" : "false");
  out.raw(",\"components\":[");
  const char* comma = "";
  char digits[24];
  each_component(p, [&](std::string_view part, path::_Type kind, std::size_t pos) {
    out.raw(comma).raw("{\"text\":").string(part).raw(",\"kind\":\"").raw(kind_name(kind));
    out.raw("\",\"pos\":").raw(decimal(digits, pos)).raw("}");
    comma = ",";
  });
  out.raw("]}");
  out.end_line();
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

int run_parts(std::string_view, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    const path p(text);
    if (out.json())
      write_parts_json(out, text, p);
    else
      write_parts_text(out, text, p);
    return 0;
  });
}

int run_normal(std::string_view, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    write_result(out, text, path(text).lexically_normal());
    return 0;
  });
}

int run_relative(std::string_view base_text, PathSource& paths, Output& out) {
  const path base(base_text);
  return each_path(paths, out, [&](std::string_view text) {
    const path result = path(text).lexically_relative(base);
    write_result(out, text, result);
    return result.empty() ? 1 : 0;
  });
}

int run_proximate(std::string_view base_text, PathSource& paths, Output& out) {
  const path base(base_text);
  return each_path(paths, out, [&](std::string_view text) {
    write_result(out, text, path(text).lexically_proximate(base));
    return 0;
  });
}

template <typename Combine>
int fold(PathSource& paths, Output& out, Combine&& combine) {
  path result;
  each_path(paths, out, [&](std::string_view text) {
    combine(result, text);
    return 0;
  });
  if (out.json())
    out.raw("{\"result\":").string(result.native()).raw("}");
  else
    out.raw(result.native());
  out.end_line();
  return 0;
}

int run_join(std::string_view, PathSource& paths, Output& out) {
  return fold(paths, out, [](path& result, std::string_view text) { result.append(text); });
}

int run_concat(std::string_view, PathSource& paths, Output& out) {
  return fold(paths, out, [](path& result, std::string_view text) { result.concat(text); });
}

// Applies a modifier to a fresh path of each PATH and writes the result.
template <typename Modify>
int modify_each(PathSource& paths, Output& out, Modify modify) {
  return each_path(paths, out, [&](std::string_view text) {
    path p(text);
    write_result(out, text, modify(p));
    return 0;
  });
}

int run_remove_filename(std::string_view, PathSource& paths, Output& out) {
  return modify_each(paths, out, [](path& p) -> const path& { return p.remove_filename(); });
}

int run_replace_filename(std::string_view name_text, PathSource& paths, Output& out) {
  const path name(name_text);
  return modify_each(paths, out,
                     [&](path& p) -> const path& { return p.replace_filename(name); });
}

int run_replace_extension(std::string_view ext_text, PathSource& paths, Output& out) {
  const path extension(ext_text);
  return modify_each(paths, out,
                     [&](path& p) -> const path& { return p.replace_extension(extension); });
}

int run_compare(std::string_view first_text, PathSource& paths, Output& out) {
  const path first(first_text);
  return each_path(paths, out, [&](std::string_view text) {
    const int order = first.compare(text);
    const char* sign = order < 0 ? "-1" : order > 0 ? "1" : "0";
    if (out.json())
      out.raw("{\"a\":").string(first_text).raw(",\"b\":").string(text).raw(",\"compare\":").raw(sign).raw("}");
    else
      out.raw(sign);
    out.end_line();
    return order != 0 ? 1 : 0;
  });
}

int run_hash(std::string_view, PathSource& paths, Output& out) {
  return each_path(paths, out, [&](std::string_view text) {
    char buffer[16];
    const std::string_view hex = hex64(buffer, std::filesystem::hash_value(path(text)));
    if (out.json())
      out.raw("{\"path\":").string(text).raw(",\"hash\":\"").raw(hex).raw("\"}");
    else
      out.raw(hex);
    out.end_line();
    return 0;
  });
}

}  // namespace

const std::vector<Command>& commands() {
  static const std::vector<Command> all = {
      {"parts", nullptr, "take each PATH apart: root, relative part, parent, filename, components",
       "Writes, for each PATH, one line per part: path, root_directory,\n"
       "relative_path, parent_path, filename, stem, extension and absolute, each\n"
       "as NAME<TAB>VALUE, then 'component<TAB>POS<TAB>KIND<TAB>TEXT' for each\n"
       "component (POS is its byte offset in PATH, KIND is root-directory or\n"
       "filename; a trailing separator gives a last, empty filename), then an\n"
       "empty line. With --json, one object per PATH with the same names.\n",
       run_parts},
      {"normal", nullptr, "the normal form: '.' dropped, 'dir/..' cancelled, one separator",
       "Writes the lexical normal form of each PATH: '.' elements are removed, a\n"
       "filename followed by '..' cancels out, '..' right after the root is\n"
       "dropped and separator runs collapse. A trailing separator stays; a result\n"
       "that would be empty is '.', but the empty path stays empty.\n"
       "  vornel-path normal a/./b/../c//   =>  a/c/\n",
       run_normal},
      {"relative", "BASE", "the path that leads from BASE to each PATH",
       "Writes the path that leads from BASE to each PATH, from the text alone:\n"
       "'..' for every further directory of BASE, then the rest of PATH. Neither\n"
       "is normalised first. Where no such path exists (one of them is absolute\n"
       "and the other not, or BASE climbs out of the common part with '..') the\n"
       "record is empty and the exit status is 1.\n"
       "  vornel-path relative /srv/build/debug /srv/build/release/bin  =>  ../release/bin\n",
       run_relative},
      {"proximate", "BASE", "like relative, but PATH itself where there is no relative path",
       "Writes the relative path from BASE to each PATH, or PATH unchanged where\n"
       "there is none (see 'vornel-path relative --help').\n"
       "  vornel-path proximate src /usr/include  =>  /usr/include\n",
       run_proximate},
      {"join", nullptr, "all PATHs joined by separators; an absolute one starts afresh",
       "Appends the PATHs in turn, with a separator where the path so far ends\n"
       "in a filename, and writes the one result. A PATH that begins with '/'\n"
       "replaces everything before it; an empty PATH adds a trailing separator.\n"
       "  vornel-path join /opt tool lib      =>  /opt/tool/lib\n"
       "  vornel-path join /opt /etc passwd   =>  /etc/passwd\n",
       run_join},
      {"concat", nullptr, "all PATHs joined with nothing between them",
       "Concatenates the PATHs as bytes, with no separator added, and writes the\n"
       "one result.\n"
       "  vornel-path concat dir/file .txt  =>  dir/file.txt\n",
       run_concat},
      {"remove-filename", nullptr, "each PATH without its last filename",
       "Writes each PATH without its last filename; the separator before it\n"
       "stays. A PATH that ends in a separator is unchanged.\n"
       "  vornel-path remove-filename a/b/c  =>  a/b/\n",
       run_remove_filename},
      {"replace-filename", "NAME", "each PATH with its last filename replaced by NAME",
       "Writes each PATH with its last filename removed and NAME appended in\n"
       "its place.\n"
       "  vornel-path replace-filename c.txt a/b.txt  =>  a/c.txt\n",
       run_replace_filename},
      {"replace-extension", "EXT", "each PATH with its extension replaced by EXT",
       "Writes each PATH with the extension of its filename removed and EXT\n"
       "added; a dot is put in front of EXT when it has none, and an empty EXT\n"
       "just removes the extension. A leading dot ('.profile') is no extension.\n"
       "  vornel-path replace-extension .md notes/a.txt  =>  notes/a.md\n",
       run_replace_extension},
      {"compare", "A", "the order of A against each PATH: -1, 0 or 1",
       "Compares A with each PATH element by element (so 'a//b' equals 'a/b')\n"
       "and writes -1, 0 or 1 as A sorts before, equal to or after PATH. The\n"
       "exit status is 1 when any PATH differs from A.\n"
       "  vornel-path compare a//b/ a/b/  =>  0\n",
       run_compare},
      {"hash", nullptr, "the hash of each PATH, as 16 hexadecimal digits",
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
