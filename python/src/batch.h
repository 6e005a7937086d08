// The batch functions of the module: vornel.normal, parent, filename, stem,
// extension, relative, proximate and join. Each takes any iterable of paths
// and gives the library's own answer for each, with the GIL released while
// the answers are computed.
#ifndef VORNEL_PYTHON_BATCH_H
#define VORNEL_PYTHON_BATCH_H

#include <Python.h>

namespace vornel::python {

// Adds the batch functions to `module`; false with an error set.
bool add_batch_functions(PyObject* module);

}  // namespace vornel::python

#endif  // VORNEL_PYTHON_BATCH_H
