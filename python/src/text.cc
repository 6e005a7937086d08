// Conversions between Python's path arguments and the library's bytes.
#include "text.h"

#include <algorithm>
#include <cstring>

namespace vornel::python {

Holder::~Holder() {
  for (PyObject* object : objects_) Py_DECREF(object);
}

PyObject* Holder::keep(PyObject* object) {
  objects_.push_back(object);
  return object;
}

bool read_other_path(PyObject* argument, Text& out, Holder& holder) {
  PyObject* object = argument;
  if (!PyUnicode_Check(object) && !PyBytes_Check(object)) {
    // TypeError "expected str, bytes or os.PathLike object, not int".
    if (!(object = PyOS_FSPath(argument))) return false;
    holder.keep(object);
  }
  // Only a plain str or bytes is handed back as an answer: an answer to a
  // subclass is a new plain object, as os.path gives.
  out.object = PyUnicode_CheckExact(object) || PyBytes_CheckExact(object) ? object : nullptr;
  if (PyBytes_Check(object)) {
    out.bytes = {PyBytes_AS_STRING(object), std::size_t(PyBytes_GET_SIZE(object))};
    out.kind = Kind::kBytes;
    return true;
  }
  if (PyUnicode_READY(object) != 0) return false;
  if (PyUnicode_IS_ASCII(object)) {
    out.bytes = {static_cast<const char*>(PyUnicode_DATA(object)),
                 std::size_t(PyUnicode_GET_LENGTH(object))};
    out.kind = Kind::kAsciiStr;
    return true;
  }
  PyObject* encoded = PyUnicode_EncodeFSDefault(object);
  if (!encoded) return false;
  holder.keep(encoded);
  out.bytes = {PyBytes_AS_STRING(encoded), std::size_t(PyBytes_GET_SIZE(encoded))};
  out.kind = Kind::kStr;
  return true;
}

PyObject* make_path(Kind kind, std::string_view bytes) {
  switch (kind) {
    case Kind::kAsciiStr: {
      PyObject* text = PyUnicode_New(Py_ssize_t(bytes.size()), 127);
      if (text && !bytes.empty()) std::memcpy(PyUnicode_DATA(text), bytes.data(), bytes.size());
      return text;
    }
    case Kind::kStr:
      return PyUnicode_DecodeFSDefaultAndSize(bytes.data(), Py_ssize_t(bytes.size()));
    case Kind::kBytes:
      break;
  }
  return PyBytes_FromStringAndSize(bytes.data(), Py_ssize_t(bytes.size()));
}

PyObject* make_path(bool as_bytes, std::string_view bytes) {
  if (as_bytes) return make_path(Kind::kBytes, bytes);
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return make_path(ascii ? Kind::kAsciiStr : Kind::kStr, bytes);
}

}  // namespace vornel::python
