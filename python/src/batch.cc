// The batch functions, written against CPython's own interface: their cost
// per path is what a list of answers costs. Paths are read a chunk at a
// time; the chunk's answers are computed without the GIL, each a piece of
// its path's own bytes or written into the chunk's buffers; then each
// becomes an object of its path's kind, the caller's own object where the
// answer is the path unchanged.
#include "batch.h"

#include <exception>
#include <fs_path>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "text.h"
#include "vornel-path/forms.h"

namespace vornel::python {
namespace {

namespace forms = tool::forms;
using std::filesystem::path;

// Small enough for the chunk's texts and answers to stay in the cache.
constexpr Py_ssize_t kChunk = 2048;
// The most room beyond its own length that a chunk gives one path's answer.
constexpr std::size_t kRoomForOne = 1 << 16;

// An answer: `size` bytes from `start` of its path's own bytes, of the
// chunk's rooms, or of the bytes kept for the chunk's other answers.
struct Slot {
  enum Where : char { kPath, kRoom, kKept };
  std::size_t start, size;
  Where where;
};

bool lies_in(std::string_view part, std::string_view whole) {
  const std::less_equal<const char*> at_most;
  return part.empty() || (at_most(whole.data(), part.data()) &&
                          at_most(part.data() + part.size(), whole.data() + whole.size()));
}

// The paths of a batch argument: a list or tuple as it is, any other
// iterable gathered into a list. A single path is refused: iterating over
// it would answer for each of its characters.
PyObject* paths_of(PyObject* iterable, const char* function) {
  if (PyUnicode_Check(iterable) || PyBytes_Check(iterable) ||
      PyObject_HasAttrString(iterable, "__fspath__")) {
    PyErr_Format(PyExc_TypeError,
                 "%s() takes an iterable of paths, not one path: pass [p], or use "
                 "vornel.Path(p)",
                 function);
    return nullptr;
  }
  return PySequence_Fast(iterable, "expected an iterable of paths");
}

// Reads the paths [begin, begin + n) of `paths` into `texts`, holding each:
// another thread may change a list while the GIL is released.
bool read_chunk(PyObject* paths, Py_ssize_t begin, Py_ssize_t n, Text* texts, Holder& holder) {
  if (PySequence_Fast_GET_SIZE(paths) < begin + n) {
    PyErr_SetString(PyExc_RuntimeError, "the list of paths changed size during the call");
    return false;
  }
  PyObject** items = PySequence_Fast_ITEMS(paths) + begin;
  for (Py_ssize_t i = 0; i < n; ++i) {
    if (i + 8 < n) __builtin_prefetch(items[i + 8]);
    Py_INCREF(items[i]);
    if (!read_path(holder.keep(items[i]), texts[i], holder)) return false;
  }
  return true;
}

// Computes `answer(text, room, scratch)` for every path of `iterable`:
// a view into `text`, into `room` (room_for(text) bytes of the chunk's
// own), or into anything else that lives until the next answer, such as
// `scratch`. Null with an error set.
template <typename Answer, typename Room>
PyObject* each(PyObject* iterable, const char* function, const Answer& answer,
               const Room& room_for) {
  PyObject* paths = paths_of(iterable, function);
  if (!paths) return nullptr;
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(paths);
  PyObject* results = PyList_New(count);
  std::vector<Text> texts(std::size_t(std::min(count, kChunk)));
  std::vector<Slot> slots(texts.size());
  std::vector<char> rooms;
  std::string kept, scratch;
  bool failed = !results;
  for (Py_ssize_t begin = 0; begin < count && !failed; begin += kChunk) {
    const Py_ssize_t n = std::min(kChunk, count - begin);
    Holder holder(n);
    if ((failed = !read_chunk(paths, begin, n, texts.data(), holder))) break;
    std::exception_ptr error;
    Py_BEGIN_ALLOW_THREADS
    try {
      std::size_t room = 0;
      for (Py_ssize_t i = 0; i < n; ++i) room += room_for(texts[i].bytes);
      if (rooms.size() < room) rooms.resize(room);
      kept.clear();
      room = 0;
      for (Py_ssize_t i = 0; i < n; ++i) {
        const std::string_view text = texts[i].bytes;
        char* const mine = rooms.data() + room;
        const std::string_view result = answer(text, mine, scratch);
        if (lies_in(result, text)) {
          slots[i] = {result.empty() ? 0 : std::size_t(result.data() - text.data()), result.size(),
                      Slot::kPath};
        } else if (lies_in(result, {mine, room_for(text)})) {
          slots[i] = {room + (result.data() - mine), result.size(), Slot::kRoom};
        } else {
          slots[i] = {kept.size(), result.size(), Slot::kKept};
          kept.append(result);
        }
        room += room_for(text);
      }
    } catch (...) {
      error = std::current_exception();
    }
    Py_END_ALLOW_THREADS
    if ((failed = bool(error))) {
      raise(error);
      break;
    }
    for (Py_ssize_t i = 0; i < n && !failed; ++i) {
      const Slot& slot = slots[i];
      const std::string_view from[] = {texts[i].bytes, {rooms.data(), rooms.size()}, kept};
      PyObject* result = answer_for(texts[i], from[slot.where].substr(slot.start, slot.size));
      failed = !result;
      if (result) PyList_SET_ITEM(results, begin + i, result);
    }
  }
  Py_DECREF(paths);
  if (failed) {
    Py_XDECREF(results);
    return nullptr;
  }
  return results;
}

std::string_view normal_of(std::string_view text, char* room, std::string& scratch) {
  std::string_view normal;
  if (forms::normal(text, room, normal)) return normal;
  scratch = path(text).lexically_normal().native();
  return scratch;
}

template <std::string_view (*kPart)(std::string_view)>
std::string_view piece(std::string_view text, char*, std::string&) {
  return kPart(text);
}

std::size_t no_room(std::string_view) { return 0; }

PyObject* normal(PyObject*, PyObject* paths) {
  return each(paths, "normal", normal_of, forms::normal_room);
}
PyObject* parent(PyObject*, PyObject* paths) {
  return each(paths, "parent", piece<forms::parent>, no_room);
}
PyObject* filename(PyObject*, PyObject* paths) {
  return each(paths, "filename", piece<forms::filename>, no_room);
}
PyObject* stem(PyObject*, PyObject* paths) {
  return each(paths, "stem", piece<forms::stem>, no_room);
}
PyObject* extension(PyObject*, PyObject* paths) {
  return each(paths, "extension", piece<forms::extension>, no_room);
}

PyObject* related(PyObject* const* args, Py_ssize_t nargs, const char* function, bool proximate) {
  if (nargs != 2) {
    PyErr_Format(PyExc_TypeError, "%s() takes 2 arguments (%zd given)", function, nargs);
    return nullptr;
  }
  Text base;
  Holder holder;
  if (!read_path(args[1], base, holder)) return nullptr;
  const forms::LexicalBase relation(base.bytes);
  const auto room = [&](std::string_view text) { return relation.room(text); };
  const auto answer = [&](std::string_view text, char* at) {
    const std::string_view relative = relation.relative(text, at);
    return proximate && relative.empty() ? text : relative;
  };
  // A base of very many elements could ask for more room than a chunk should
  // hold: its answers are made one at a time.
  if (relation.room({}) > kRoomForOne)
    return each(args[0], function, [&](std::string_view text, char*, std::string& scratch) {
      scratch.resize(room(text));
      return answer(text, scratch.data());
    }, no_room);
  return each(args[0], function,
              [&](std::string_view text, char* at, std::string&) { return answer(text, at); },
              room);
}

PyObject* relative(PyObject*, PyObject* const* args, Py_ssize_t nargs) {
  return related(args, nargs, "relative", false);
}

PyObject* proximate(PyObject*, PyObject* const* args, Py_ssize_t nargs) {
  return related(args, nargs, "proximate", true);
}

// One path: the parts appended in turn, of the parts' one kind.
PyObject* join(PyObject*, PyObject* iterable) {
  PyObject* parts = paths_of(iterable, "join");
  if (!parts) return nullptr;
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(parts);
  std::vector<Text> texts(count);
  Holder holder;
  bool failed = !read_chunk(parts, 0, count, texts.data(), holder);
  Kind kind = Kind::kAsciiStr;  // an ASCII str when every part is one
  for (Py_ssize_t i = 0; i < count && !failed; ++i) {
    if ((texts[i].kind == Kind::kBytes) != (texts[0].kind == Kind::kBytes)) {
      PyErr_SetString(PyExc_TypeError, "join() cannot mix str and bytes paths");
      failed = true;
    }
    kind = std::max(kind, texts[i].kind);
  }
  std::string joined;
  if (!failed) {
    std::exception_ptr error;
    Py_BEGIN_ALLOW_THREADS
    try {
      for (const Text& text : texts) forms::join(joined, text.bytes);
    } catch (...) {
      error = std::current_exception();
    }
    Py_END_ALLOW_THREADS
    if ((failed = bool(error))) raise(error);
  }
  Py_DECREF(parts);
  if (failed) return nullptr;
  return count == 1 ? answer_for(texts[0], joined) : make_path(kind, joined);
}

#define VORNEL_FUNCTION(name, flags, doc) \
  { #name, reinterpret_cast < PyCFunction>(reinterpret_cast <void (*)()>(name)), flags, doc }

PyMethodDef kFunctions[] = {
    VORNEL_FUNCTION(normal, METH_O,
                    "normal(paths, /)\n--\n\n"
                    "The normal form of each path, as Path.lexically_normal gives it."),
    VORNEL_FUNCTION(parent, METH_O,
                    "parent(paths, /)\n--\n\n"
                    "Each path without its last element, as Path.parent_path gives it."),
    VORNEL_FUNCTION(filename, METH_O,
                    "filename(paths, /)\n--\n\n"
                    "The last filename of each path, as Path.filename gives it."),
    VORNEL_FUNCTION(stem, METH_O,
                    "stem(paths, /)\n--\n\n"
                    "The filename of each path without its extension, as Path.stem gives it."),
    VORNEL_FUNCTION(extension, METH_O,
                    "extension(paths, /)\n--\n\n"
                    "The extension of each path's filename, as Path.extension gives it."),
    VORNEL_FUNCTION(relative, METH_FASTCALL,
                    "relative(paths, base, /)\n--\n\n"
                    "The path from base to each path, as Path.lexically_relative gives\n"
                    "it: empty where there is none."),
    VORNEL_FUNCTION(proximate, METH_FASTCALL,
                    "proximate(paths, base, /)\n--\n\n"
                    "The path from base to each path, or the path itself where there is\n"
                    "none, as Path.lexically_proximate gives it."),
    VORNEL_FUNCTION(join, METH_O,
                    "join(parts, /)\n--\n\n"
                    "One path: the parts appended in turn with the / of Path. A part\n"
                    "that begins with a separator starts afresh."),
    {nullptr, nullptr, 0, nullptr},
};

#undef VORNEL_FUNCTION

}  // namespace

bool add_batch_functions(PyObject* module) {
  return PyModule_AddFunctions(module, kFunctions) == 0;
}

}  // namespace vornel::python
