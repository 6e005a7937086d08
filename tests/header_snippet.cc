// Uses of <fs_path> for header_checks.cmake: one VORNEL_USE compiled alone, or,
// in C++20, many at once, each asked of a requires-expression by VORNEL_USES.
#include <fs_path>
using namespace std::filesystem;
struct Text { operator path() const { return {}; } };
#ifdef VORNEL_USE
int main() { Text a, b; int n = 1; path p, q; (void)(VORNEL_USE); }
#else
#define VORNEL_USES(...) []<typename T = Text, typename P = path, typename N = int>() { \
  return requires(T a, T b, N n, P p, P q) { __VA_ARGS__; }; }()
#endif
