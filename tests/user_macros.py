#!/usr/bin/env python3
"""Compiles <fs_path> after a user's macros: each identifier of the header that
is not reserved and not a name of the standard library (the path interface, or
a name the standard headers it includes spell out), and common words.

  user_macros.py HEADER OUT.cc COMPILER [FLAGS...]"""
import re, subprocess, sys

# The path interface, and the C++20 names that C++17's headers lack.
STANDARD = """char8_t strong_ordering concat path filesystem filesystem_error u8path hash_value string_type
preferred_separator format native_format generic_format auto_format make_preferred
remove_filename replace_filename replace_extension native wstring u8string u16string
u32string generic_string generic_wstring generic_u8string generic_u16string
generic_u32string root_name root_directory root_path relative_path parent_path filename
stem extension has_root_name has_root_directory has_root_path has_relative_path
has_parent_path has_filename has_stem has_extension is_absolute is_relative
lexically_normal lexically_relative lexically_proximate path1 path2""".split()
USER_WORDS = """text input kind cursor position component separator base_offset prev_type
root_step cmpt string_view_type parser scanner batch block word units codec utf8 utf16
utf32 surrogate scalar marker lead bytes decoded encoded step element""".split()

def identifiers(code):
    code = re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|^\s*#\s*\w+',
                  ' ', code, flags=re.S | re.M)
    return set(re.findall(r'\b[A-Za-z_]\w*', code))

header, out, compiler = sys.argv[1:4]
text = open(header).read()
includes = ''.join(re.findall(r'^#include <[^>]+>\n', text, re.M))
standard = subprocess.run([compiler, *sys.argv[4:], '-E', '-P', '-x', 'c++', '-'], input=includes,
                          capture_output=True, text=True, check=True).stdout
own = sorted(n for n in identifiers(re.sub(r'^#include.*', '', text, flags=re.M))
             - identifiers(standard) - set(STANDARD)
             if '__' not in n and not re.match('_[A-Z]', n))
print(f'{len(own)} names of the header a user may define: {" ".join(own) or "none"}')
with open(out, 'w') as f:
    f.writelines(f'#define {n} 1\n' for n in own + USER_WORDS)
    f.write('#include <fs_path>\nint main() { return std::filesystem::path("a").empty(); }\n')
sys.exit(subprocess.call([*sys.argv[3:], '-fsyntax-only', out]))
