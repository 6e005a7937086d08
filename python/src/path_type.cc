// The Path type, written against CPython's own interface: an object holds
// its library path in place and registers nowhere, so that making a Path
// costs one allocation besides the path's own. Every method is one call of
// the library's member of that name; those that give a path give a new Path
// that shows as its source did, as str or as bytes.
#include "path_type.h"

#include <fs_path>
#include <new>
#include <string_view>
#include <utility>

#include "errors.h"
#include "text.h"

namespace vornel::python {
namespace {

using std::filesystem::path;

struct PathObject {
  PyObject_HEAD
  path value;
  bool bytes;  // shows as bytes, else as str
};

extern PyTypeObject path_type;

PathObject* as_path(PyObject* object) {
  return Py_IS_TYPE(object, &path_type) ? reinterpret_cast<PathObject*>(object) : nullptr;
}

const path& value_of(PyObject* self) { return reinterpret_cast<PathObject*>(self)->value; }
bool shows_bytes(PyObject* self) { return reinterpret_cast<PathObject*>(self)->bytes; }

PyObject* wrap(path&& value, bool bytes) {
  PathObject* self = PyObject_New(PathObject, &path_type);
  if (!self) return nullptr;
  new (&self->value) path(std::move(value));
  self->bytes = bytes;
  return reinterpret_cast<PyObject*>(self);
}

void dealloc(PyObject* self) {
  reinterpret_cast<PathObject*>(self)->value.~path();
  PyObject_Free(self);
}

// An argument that stands for a path: a Path's own value, or the bytes of
// a str, bytes or os.PathLike, made into a path only where one is needed.
class Operand {
 public:
  // False with TypeError set for anything else.
  bool read(PyObject* argument) {
    if (const PathObject* given = as_path(argument)) {
      value_ = &given->value;
      bytes_ = given->bytes;
      return true;
    }
    if (!read_path(argument, text_, holder_)) return false;
    bytes_ = text_.kind == Kind::kBytes;
    return true;
  }
  // As read_path, but NotImplemented is the answer to anything else.
  bool read_operand(PyObject* argument) {
    if (read(argument)) return true;
    if (PyErr_ExceptionMatches(PyExc_TypeError)) PyErr_Clear();
    return false;
  }

  std::string_view text() const {
    return value_ ? std::string_view(value_->native()) : text_.bytes;
  }
  const path& value() {
    if (!value_) value_ = &(built_ = path(text_.bytes));
    return *value_;
  }
  bool bytes() const { return bytes_; }

 private:
  Text text_;
  Holder holder_;
  const path* value_ = nullptr;
  path built_;
  bool bytes_ = false;
};

PyObject* not_implemented() { Py_RETURN_NOTIMPLEMENTED; }

// Path(source="", /): a Path is immutable, so a Path is its own copy.
PyObject* make(PyObject* const* args, Py_ssize_t count, bool keywords) {
  if (keywords || count > 1) {
    PyErr_SetString(PyExc_TypeError, "Path() takes one positional argument, a path");
    return nullptr;
  }
  if (count == 0) return wrap(path(), false);
  if (as_path(args[0])) return Py_NewRef(args[0]);
  Operand source;
  if (!source.read(args[0])) return nullptr;
  return guarded([&] { return wrap(path(source.text()), source.bytes()); });
}

PyObject* construct(PyObject*, PyObject* const* args, std::size_t nargsf, PyObject* kwnames) {
  return make(args, PyVectorcall_NARGS(nargsf), kwnames && PyTuple_GET_SIZE(kwnames));
}

PyObject* construct_from_tuple(PyTypeObject*, PyObject* args, PyObject* kwargs) {
  return make(&PyTuple_GET_ITEM(args, 0), PyTuple_GET_SIZE(args),
              kwargs && PyDict_GET_SIZE(kwargs));
}

template <path (path::*kPart)() const>
PyObject* part(PyObject* self, PyObject*) {
  return guarded([&] { return wrap((value_of(self).*kPart)(), shows_bytes(self)); });
}

template <bool (path::*kQuery)() const noexcept>
PyObject* query(PyObject* self, PyObject*) {
  return PyBool_FromLong((value_of(self).*kQuery)());
}

template <path (path::*kRelation)(const path&) const>
PyObject* relation(PyObject* self, PyObject* base) {
  Operand operand;
  if (!operand.read(base)) return nullptr;
  return guarded(
      [&] { return wrap((value_of(self).*kRelation)(operand.value()), shows_bytes(self)); });
}

// A copy of this path changed by `change`.
template <typename Change>
PyObject* changed(PyObject* self, const Change& change) {
  return guarded([&] {
    path result = value_of(self);
    change(result);
    return wrap(std::move(result), shows_bytes(self));
  });
}

PyObject* remove_filename(PyObject* self, PyObject*) {
  return changed(self, [](path& result) { result.remove_filename(); });
}

PyObject* replace_filename(PyObject* self, PyObject* argument) {
  Operand replacement;
  if (!replacement.read(argument)) return nullptr;
  return changed(self, [&](path& result) { result.replace_filename(replacement.value()); });
}

PyObject* replace_extension(PyObject* self, PyObject* const* args, Py_ssize_t count) {
  Operand replacement;  // the empty path, unless given
  if (count > 1) PyErr_SetString(PyExc_TypeError, "replace_extension() takes at most one path");
  if (count > 1 || (count == 1 && !replacement.read(args[0]))) return nullptr;
  return changed(self, [&](path& result) { result.replace_extension(replacement.value()); });
}

PyObject* concat(PyObject* self, PyObject* other) {
  Operand operand;
  if (!operand.read(other)) return nullptr;
  return changed(self, [&](path& result) { result += operand.text(); });
}

PyObject* compare(PyObject* self, PyObject* other) {
  Operand operand;
  if (!operand.read(other)) return nullptr;
  const PathObject* given = as_path(other);
  return PyLong_FromLong(given ? value_of(self).compare(given->value)
                               : value_of(self).compare(operand.text()));
}

// left / right, where one of them is a Path; the result shows as left does.
PyObject* divide(PyObject* left, PyObject* right) {
  Operand l, r;
  if (!l.read_operand(left) || !r.read_operand(right))
    return PyErr_Occurred() ? nullptr : not_implemented();
  return guarded([&] {
    path result = l.value();
    result /= r.text();
    return wrap(std::move(result), l.bytes());
  });
}

PyObject* richcompare(PyObject* self, PyObject* other, int op) {
  const PathObject* given = as_path(other);
  if (!given) return not_implemented();
  Py_RETURN_RICHCOMPARE(value_of(self).compare(given->value), 0, op);
}

Py_hash_t hash(PyObject* self) {
  const Py_hash_t h = Py_hash_t(std::filesystem::hash_value(value_of(self)));
  return h == -1 ? -2 : h;
}

PyObject* iterate(PyObject* self) {
  PyObject* elements = guarded([&]() -> PyObject* {
    PyObject* list = PyList_New(0);
    for (const path& element : value_of(self)) {
      PyObject* item = list ? wrap(path(element), shows_bytes(self)) : nullptr;
      if (!item || PyList_Append(list, item) < 0) {
        Py_XDECREF(item);
        Py_XDECREF(list);
        return nullptr;
      }
      Py_DECREF(item);
    }
    return list;
  });
  if (!elements) return nullptr;
  PyObject* iterator = PyObject_GetIter(elements);
  Py_DECREF(elements);
  return iterator;
}

PyObject* shown(PyObject* self, bool bytes) { return make_path(bytes, value_of(self).native()); }
PyObject* fspath(PyObject* self, PyObject*) { return shown(self, shows_bytes(self)); }
PyObject* as_str(PyObject* self) { return shown(self, false); }
PyObject* as_bytes(PyObject* self, PyObject*) { return shown(self, true); }

PyObject* repr(PyObject* self) {
  PyObject* text = fspath(self, nullptr);
  if (!text) return nullptr;
  PyObject* result = PyUnicode_FromFormat("vornel.Path(%R)", text);
  Py_DECREF(text);
  return result;
}

PyObject* reduce(PyObject* self, PyObject*) {
  return Py_BuildValue("(O(N))", Py_TYPE(self), fspath(self, nullptr));
}

#define VORNEL_PART(name, doc) \
  {#name, part<&path::name>, METH_NOARGS, #name "($self, /)\n--\n\n" doc}
#define VORNEL_QUERY(name, doc) \
  {#name, query<&path::name>, METH_NOARGS, #name "($self, /)\n--\n\n" doc}

PyMethodDef methods[] = {
    VORNEL_PART(root_name, "Empty: POSIX paths have no root name."),
    VORNEL_PART(root_directory, "'/' if the path has a root directory, else empty."),
    VORNEL_PART(root_path, "The root name and root directory: '/' or empty."),
    VORNEL_PART(relative_path, "The path after its root, separators as written."),
    VORNEL_PART(parent_path, "The path without its last element and the separators before it."),
    VORNEL_PART(filename, "The last element: empty after a trailing separator."),
    VORNEL_PART(stem, "The filename without its extension."),
    VORNEL_PART(extension, "From the filename's last dot: none for '.', '..' and '.profile'."),
    VORNEL_PART(lexically_normal,
                "The normal form: '.' dropped, 'name/..' cancelled, one separator."),
    {"lexically_relative", relation<&path::lexically_relative>, METH_O,
     "lexically_relative($self, base, /)\n--\n\n"
     "The path from base to this one, or empty if none."},
    {"lexically_proximate", relation<&path::lexically_proximate>, METH_O,
     "lexically_proximate($self, base, /)\n--\n\n"
     "The path from base to this one, or this one if none."},
    VORNEL_QUERY(empty, "Whether the text is empty."),
    VORNEL_QUERY(has_root_name, "False: POSIX paths have no root name."),
    VORNEL_QUERY(has_root_directory, "Whether the path begins with '/'."),
    VORNEL_QUERY(has_root_path, "Whether the path begins with '/'."),
    VORNEL_QUERY(has_relative_path, "Whether anything follows the root."),
    VORNEL_QUERY(has_parent_path, "Whether parent_path() is not empty."),
    VORNEL_QUERY(has_filename, "Whether filename() is not empty."),
    VORNEL_QUERY(has_stem, "Whether stem() is not empty."),
    VORNEL_QUERY(has_extension, "Whether extension() is not empty."),
    VORNEL_QUERY(is_absolute, "Whether the path has a root directory."),
    VORNEL_QUERY(is_relative, "Whether the path has no root directory."),
    {"compare", compare, METH_O,
     "compare($self, other, /)\n--\n\n"
     "Negative, zero or positive as this path sorts before, equal to or after\n"
     "other, element by element."},
    {"concat", concat, METH_O,
     "concat($self, other, /)\n--\n\nThis path with other's text added, no separator between."},
    {"remove_filename", remove_filename, METH_NOARGS,
     "remove_filename($self, /)\n--\n\n"
     "This path without its filename; the separator before it stays."},
    {"replace_filename", replace_filename, METH_O,
     "replace_filename($self, replacement, /)\n--\n\nThis path with its filename replaced."},
    {"replace_extension",
     reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(replace_extension)), METH_FASTCALL,
     "replace_extension($self, replacement='', /)\n--\n\n"
     "This path with its extension replaced; a dot is added where the\n"
     "replacement has none."},
    {"__fspath__", fspath, METH_NOARGS, "The path as it was made: str or bytes."},
    {"__bytes__", as_bytes, METH_NOARGS, "The path's bytes."},
    {"__reduce__", reduce, METH_NOARGS, nullptr},
    {"__class_getitem__", Py_GenericAlias, METH_O | METH_CLASS, "Path[str] and Path[bytes]."},
    {nullptr, nullptr, 0, nullptr},
};

#undef VORNEL_PART
#undef VORNEL_QUERY

PyNumberMethods number_methods = [] {
  PyNumberMethods methods{};
  methods.nb_true_divide = divide;
  return methods;
}();

PyTypeObject path_type = [] {
  PyTypeObject type{};  // PyType_Ready gives it its metatype
  Py_SET_REFCNT(reinterpret_cast<PyObject*>(&type), 1);
  type.tp_name = "vornel.Path";
  type.tp_basicsize = sizeof(PathObject);
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE;
  type.tp_doc =
      "Path(source='', /)\n--\n\n"
      "A POSIX path: an immutable value of bytes, made from a str, bytes or\n"
      "os.PathLike, that shows as str or as bytes as its source did. Every\n"
      "method is the C++ path member of the same name, from the text alone.";
  type.tp_new = construct_from_tuple;
  type.tp_vectorcall = construct;
  type.tp_dealloc = dealloc;
  type.tp_repr = repr;
  type.tp_str = as_str;
  type.tp_hash = hash;
  type.tp_richcompare = richcompare;
  type.tp_iter = iterate;
  type.tp_as_number = &number_methods;
  type.tp_methods = methods;
  return type;
}();

}  // namespace

bool add_path_type(PyObject* module) {
  return PyType_Ready(&path_type) == 0 &&
         PyModule_AddObjectRef(module, "Path", reinterpret_cast<PyObject*>(&path_type)) == 0;
}

}  // namespace vornel::python
