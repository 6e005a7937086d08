// The one translation of C++ exceptions into Python errors.
#include "errors.h"

#include <new>
#include <stdexcept>

namespace vornel::python {

PyObject* raise(std::exception_ptr error) noexcept {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (...) {
    PyErr_SetString(PyExc_RuntimeError, "unknown C++ exception");
  }
  return nullptr;
}

}  // namespace vornel::python
