// The default constructors of the narrow and wide string buffers and string
// streams, exported weak: a caller that default-constructs one may bind here.
#include <sstream>

template std::basic_stringbuf<char>::basic_stringbuf();
template std::basic_stringbuf<wchar_t>::basic_stringbuf();
template std::basic_istringstream<char>::basic_istringstream();
template std::basic_istringstream<wchar_t>::basic_istringstream();
template std::basic_ostringstream<char>::basic_ostringstream();
template std::basic_ostringstream<wchar_t>::basic_ostringstream();
template std::basic_stringstream<char>::basic_stringstream();
template std::basic_stringstream<wchar_t>::basic_stringstream();
