// The narrow-string members that the library exports weak: construction from
// a C string and an allocator, and the release of a string's storage. Built
// as C++14, where that constructor is a plain member rather than a template
// and so has the exported name.
#include <string>

template std::string::basic_string(const char*, const std::allocator<char>&);
template void std::string::_M_dispose();
