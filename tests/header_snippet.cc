// One use of <fs_path> per VORNEL_USE, compiled alone by header_checks.cmake.
#include <fs_path>
using namespace std::filesystem;
struct Text { operator path() const { return {}; } };
int main() { Text a, b; int n = 1; path p, q; (void)(VORNEL_USE); }
