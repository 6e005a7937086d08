"""Lexical POSIX paths with the exact answers of libvornel's C++ path class.

vornel.Path is an immutable path value whose methods are the C++ members of
the same names; normal, parent, filename, stem, extension, relative,
proximate and join give one answer for each path of an iterable, many times
faster than a loop over os.path. A path is bytes: str in gives str out
(converted as os.fsencode and os.fsdecode do), bytes in gives bytes out.
Nothing touches the file system."""
from vornel._vornel import (Path, __version__, extension, filename, join, normal, parent,
                            proximate, relative, stem)

__all__ = ["Path", "normal", "parent", "filename", "stem", "extension", "relative",
           "proximate", "join"]
