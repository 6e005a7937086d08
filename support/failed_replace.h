// What replacing a path's filename or extension may leave when one of its
// allocations fails: the oracle of the tests and the fuzz targets that fail
// those calls part-way.
#ifndef VORNEL_SUPPORT_FAILED_REPLACE_H
#define VORNEL_SUPPORT_FAILED_REPLACE_H

#include <fs_path>
#include <string>
#include <vector>

namespace vornel::test {

// The states, in state() form, that p.replace_filename(arg) and
// p.replace_extension(arg) may leave when an allocation fails part-way. Each
// keeps what its completed steps did: the filename removed; or the extension
// cut and, when arg does not start with a dot, perhaps the dot added.
std::vector<std::string> states_after_failed_replace_filename(const std::filesystem::path& p);
std::vector<std::string> states_after_failed_replace_extension(
    const std::filesystem::path& p, const std::filesystem::path& arg);

}  // namespace vornel::test

#endif  // VORNEL_SUPPORT_FAILED_REPLACE_H
