// vornel.Path: an immutable path value whose every operation is the path
// library's own member of the same name.
#ifndef VORNEL_PYTHON_PATH_TYPE_H
#define VORNEL_PYTHON_PATH_TYPE_H

#include <Python.h>

namespace vornel::python {

// Adds the type to `module` as Path; false with an error set.
bool add_path_type(PyObject* module);

}  // namespace vornel::python

#endif  // VORNEL_PYTHON_PATH_TYPE_H
