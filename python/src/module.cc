// The extension module vornel._vornel: the Path class, the batch functions,
// and the proof of where its path calls bind.
#include <dlfcn.h>
#include <pybind11/pybind11.h>

#include <fs_path>

#include "batch.h"
#include "path_type.h"

namespace {

// The file that serves this module's path calls: the module's own, since
// they bind inside it (module.map). The hash is one exported path name; a
// call the loader bound elsewhere would take its address from there.
std::string serving_file() {
  Dl_info info{};
  const auto hash = &std::filesystem::hash_value;
  if (!dladdr(reinterpret_cast<void*>(hash), &info) || !info.dli_fname) return "";
  return info.dli_fname;
}

}  // namespace

PYBIND11_MODULE(_vornel, module) {
  module.doc() =
      "The lexical POSIX path operations of libvornel, with the C++ library's "
      "exact answers: the Path class and batch functions over many paths.";
  module.attr("__version__") = VORNEL_VERSION;
  if (!vornel::python::add_path_type(module.ptr()) ||
      !vornel::python::add_batch_functions(module.ptr()))
    throw pybind11::error_already_set();
  module.def("_serving_file", &serving_file,
             "The file that holds the path code this module calls.");
}
