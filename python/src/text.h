// Path arguments in and answers out. A path is bytes: a str goes through the
// file-system encoding with its error handler (surrogateescape), exactly as
// os.fsencode and os.fsdecode convert it, so any byte string survives; a
// bytes object is taken as it is; an os.PathLike gives one of the two.
#ifndef VORNEL_PYTHON_TEXT_H
#define VORNEL_PYTHON_TEXT_H

#include <Python.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace vornel::python {

// What a path came in as, and so what its answers go out as. An ASCII str
// holds its bytes itself, and so does every answer made from them.
enum class Kind : unsigned char { kAsciiStr, kStr, kBytes };

// The bytes of one path argument, viewed in `object` (a str or bytes) or in
// its encoding, which stay alive while the Holder that read them does.
struct Text {
  std::string_view bytes;
  PyObject* object = nullptr;  // borrowed: what an unchanged answer hands back
  Kind kind = Kind::kBytes;
};

// Owns the objects that reading arguments made: the results of __fspath__
// and the encodings of non-ASCII str.
class Holder {
 public:
  explicit Holder(std::size_t expected = 0) { objects_.reserve(expected); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;
  ~Holder();
  PyObject* keep(PyObject* object);

 private:
  std::vector<PyObject*> objects_;
};

// Reads `argument` as a path. False, with TypeError set, for anything that
// is not a str, bytes or os.PathLike; false with the encoder's error set if
// a str cannot be encoded. An ASCII str, the commonest path, is read here.
bool read_other_path(PyObject* argument, Text& out, Holder& holder);
inline bool read_path(PyObject* argument, Text& out, Holder& holder) {
  if (!PyUnicode_CheckExact(argument) || !PyUnicode_IS_COMPACT_ASCII(argument))
    return read_other_path(argument, out, holder);
  out.bytes = {static_cast<const char*>(PyUnicode_DATA(argument)),
               std::size_t(PyUnicode_GET_LENGTH(argument))};
  out.object = argument;
  out.kind = Kind::kAsciiStr;
  return true;
}

// A new reference to `bytes` as a path of `kind`; null with an error set.
PyObject* make_path(Kind kind, std::string_view bytes);
// The same for `bytes` of any content: a str, or bytes when `as_bytes`.
PyObject* make_path(bool as_bytes, std::string_view bytes);

// The answer `bytes` for the path `text`: the caller's own object when it is
// that path unchanged, else a new one of its kind.
inline PyObject* answer_for(const Text& text, std::string_view bytes) {
  if (text.object && bytes.size() == text.bytes.size() &&
      (bytes.empty() || bytes.data() == text.bytes.data() ||
       std::memcmp(bytes.data(), text.bytes.data(), bytes.size()) == 0)) {
    Py_INCREF(text.object);
    return text.object;
  }
  return make_path(text.kind, bytes);
}

}  // namespace vornel::python

#endif  // VORNEL_PYTHON_TEXT_H
