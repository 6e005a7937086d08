// C++ exceptions as Python errors: the path library reports exhausted
// memory with std::bad_alloc, which becomes MemoryError; any other
// exception becomes RuntimeError with its message.
#ifndef VORNEL_PYTHON_ERRORS_H
#define VORNEL_PYTHON_ERRORS_H

#include <Python.h>

#include <exception>

namespace vornel::python {

// Sets the Python error for `error` (the exception being handled when
// null); returns null, for `return raise(...)`. Needs the GIL.
PyObject* raise(std::exception_ptr error = std::current_exception()) noexcept;

// `make()`, a new reference, or null with the Python error for what it threw.
template <typename Make>
PyObject* guarded(const Make& make) noexcept {
  try {
    return make();
  } catch (...) {
    return raise();
  }
}

}  // namespace vornel::python

#endif  // VORNEL_PYTHON_ERRORS_H
