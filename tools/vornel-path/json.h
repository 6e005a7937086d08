// JSON string literals for path bytes: any byte string round-trips, since
// bytes outside well-formed UTF-8 are escaped one by one as \udc80..\udcff.
// (General JSON libraries reject or replace such bytes, losing the path.)
#ifndef VORNEL_TOOLS_JSON_H
#define VORNEL_TOOLS_JSON_H

#include <string>
#include <string_view>

namespace vornel::tool {

// Appends `bytes` to `out` as a quoted JSON string. Well-formed UTF-8 is kept
// as it is; each other byte b becomes the lone low surrogate U+DC00 + b (the
// "surrogateescape" convention), which no well-formed text can produce.
void append_json_string(std::string& out, std::string_view bytes);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_JSON_H
