// filesystem_error: the block its copies share (the two paths and the composed
// message behind a counted control part), the what() texts, and the release.
#include <fs_path>

#include <new>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

namespace vornel {
namespace {

// The base message (what_arg, ": ", the category's text), read as a C string
// from the runtime_error part, never through what().
std::string_view base_message(const std::runtime_error& e) noexcept {
  return std::string_view(e.std::runtime_error::what());
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

struct filesystem_error::_Impl {
  // The block: the control part, then the _Impl built in place.
  struct Block;

  // Builds the block for one new error; `paths` are its constructor's paths.
  template <typename... Paths>
  static _Shared share(std::string_view base, const Paths&... paths);

  // "filesystem error: " and the base message, then " [p1]" and " [p2]" for
  // the paths given.
  static std::string make_what(std::string_view base, const path* p1 = nullptr,
                               const path* p2 = nullptr);

  explicit _Impl(std::string_view base) : what(make_what(base)) {}
  _Impl(std::string_view base, const path& p1)
      : path1(p1), what(make_what(base, &p1)) {}
  _Impl(std::string_view base, const path& p1, const path& p2)
      : path1(p1), path2(p2), what(make_what(base, &p1, &p2)) {}

  path path1;
  path path2;
  std::string what;
};

// Laid out as the runtime's in-place shared count, so that a shared pointer
// compiled elsewhere could own it as well as our errors do.
struct filesystem_error::_Impl::Block final : filesystem_error::_Sp_counted {
  static_assert(sizeof(_Sp_counted) == 16 && alignof(_Impl) <= 8,
                "vptr, use count, weak count, then the _Impl at offset 16");

  template <typename... Args>
  explicit Block(Args&&... args) {
    ::new (static_cast<void*>(storage_)) _Impl(std::forward<Args>(args)...);
  }
  ~Block() override = default;

  const _Impl* object() const noexcept {
    return reinterpret_cast<const _Impl*>(storage_);
  }

  void _M_dispose() noexcept override { object()->~_Impl(); }

  void _M_destroy() noexcept override {
    this->~Block();
    ::operator delete(this, sizeof(Block));
  }

  void* _M_get_deleter(const std::type_info& ti) noexcept override {
    if (ti == typeid(std::_Sp_make_shared_tag))
      return static_cast<void*>(storage_);
    return nullptr;
  }

  alignas(_Impl) unsigned char storage_[sizeof(_Impl)];
};


template <typename... Paths>
filesystem_error::_Shared filesystem_error::_Impl::share(std::string_view base,
                                                         const Paths&... paths) {
  Block* block = new Block(base, paths...);
  return _Shared{block->object(), block};
}

std::string filesystem_error::_Impl::make_what(std::string_view base, const path* p1,
                                               const path* p2) {
  static constexpr std::string_view prefix = "filesystem error: ";
  auto bracketed = [](const path* p) { return p ? p->native().size() + 3 : 0; };
  std::string result;
  result.reserve(prefix.size() + base.size() + bracketed(p1) + bracketed(p2));
  result.append(prefix.data(), prefix.size()).append(base.data(), base.size());
  for (const path* p : {p1, p2})
    if (p) result.append(" [", 2).append(p->native()).append("]", 1);
  return result;
}

void filesystem_error::_Sp_counted::_M_release() noexcept {
  if (_S_add(_M_use_count, -1) != 1) return;
  _M_dispose();
  if (_S_add(_M_weak_count, -1) == 1) _M_destroy();
}

filesystem_error::filesystem_error(const std::string& what_arg, std::error_code ec)
    : std::system_error(ec, what_arg), _M_impl(_Impl::share(base_message(*this))) {}

filesystem_error::filesystem_error(const std::string& what_arg, const path& p1,
                                   std::error_code ec)
    : std::system_error(ec, what_arg),
      _M_impl(_Impl::share(base_message(*this), p1)) {}

filesystem_error::filesystem_error(const std::string& what_arg, const path& p1,
                                   const path& p2, std::error_code ec)
    : std::system_error(ec, what_arg),
      _M_impl(_Impl::share(base_message(*this), p1, p2)) {}

// Every error built here holds its block until its destructor: each
// constructor makes one or shares its source's. A caller compiled against
// another header may move an error, which takes the block out and leaves the
// pointers null; what(), path1() and path2() are not for such an emptied
// object and read the block unchecked, but its destructor still runs, and
// then has no share to give up.
filesystem_error::~filesystem_error() {
  if (_M_impl._M_refcount) _M_impl._M_refcount->_M_release();
}

const char* filesystem_error::what() const noexcept { return _M_impl._M_ptr->what.c_str(); }

const path& filesystem_error::path1() const noexcept { return _M_impl._M_ptr->path1; }

const path& filesystem_error::path2() const noexcept { return _M_impl._M_ptr->path2; }

}  // namespace std::filesystem::__cxx11

// A process that already has these objects keeps using its own copy. The
// pragma is g++'s: clang makes nothing weak that the source never declared,
// and takes the directive only through the system assembler, which the build
// gives this file under clang (cmake/LinkIdentity.cmake).
#ifdef __clang__
asm(".weak _ZTINSt10filesystem7__cxx1116filesystem_errorE");
asm(".weak _ZTVNSt10filesystem7__cxx1116filesystem_errorE");
#else
#pragma weak _ZTINSt10filesystem7__cxx1116filesystem_errorE
#pragma weak _ZTVNSt10filesystem7__cxx1116filesystem_errorE
#endif
