// The string-buffer and string-stream default constructors and the narrow
// string members that libvornel.so exports weak, called at their exported
// names in the library: open modes, buffer attachment, no allocation.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "support/alloc.h"
#include "support/binding_guard.h"

namespace {

using vornel::test::live_allocations;

// The exported name of a default constructor: `cls` as mangled ("15basic_stringbuf"),
// `c` the character type's code ('c' or 'w'), `kind` 1 complete or 2 base.
std::string ctor_name(const char* cls, char c, int kind) {
  const std::string t(1, c);
  return "_ZNSt7__cxx11" + std::string(cls) + "I" + t + "St11char_traitsI" + t + "ESaI" + t +
         "EEC" + std::to_string(kind) + "Ev";
}

// The library's own definition of an exported name, or null.
void* in_library(const std::string& name) {
  static void* const handle = dlopen("libvornel.so", RTLD_NOW | RTLD_NOLOAD);
  void* address = dlsym(handle, name.c_str());
  Dl_info info{};
  if (!address || !dladdr(address, &info) || !info.dli_fname ||
      !std::strstr(info.dli_fname, "libvornel.so"))
    return nullptr;
  return address;
}

// The protected state of a string buffer, named through a derived class.
template <typename C>
struct BufState : std::basic_stringbuf<C> {
  using std::basic_stringbuf<C>::_M_mode;
  using std::basic_stringbuf<C>::eback;
  using std::basic_stringbuf<C>::gptr;
  using std::basic_stringbuf<C>::egptr;
  using std::basic_stringbuf<C>::pbase;
  using std::basic_stringbuf<C>::pptr;
  using std::basic_stringbuf<C>::epptr;
};

// The buffer's open mode, its string and whether every area pointer is null.
template <typename C>
void expect_fresh_buffer(const std::basic_stringbuf<C>& buf, std::ios_base::openmode mode) {
  using S = BufState<C>;
  EXPECT_EQ(buf.*(&S::_M_mode), mode);
  for (auto area : {&S::eback, &S::gptr, &S::egptr, &S::pbase, &S::pptr, &S::epptr})
    EXPECT_EQ((buf.*area)(), nullptr);
  EXPECT_TRUE(buf.str().empty());
  EXPECT_EQ(buf.getloc(), std::locale());
}

// Runs the library's constructor `name` on fresh storage, checks the object
// and destroys it.
template <typename T, typename Check>
void construct_and_check(const std::string& name, Check check) {
  SCOPED_TRACE(name);
  auto* ctor = reinterpret_cast<void (*)(void*)>(in_library(name));
  ASSERT_NE(ctor, nullptr) << "not defined in libvornel.so";
  alignas(T) unsigned char storage[sizeof(T)];
  std::memset(storage, 0xA5, sizeof storage);
  vornel::test::AllocationCount count;
  ctor(storage);
  EXPECT_EQ(count.count(), 0) << "no default-constructed string stream allocates";
  T& object = *reinterpret_cast<T*>(storage);
  check(object);
  object.~T();
}

template <typename Stream>
void check_stream(const char* cls, std::ios_base::openmode mode) {
  using C = typename Stream::char_type;
  construct_and_check<Stream>(ctor_name(cls, sizeof(C) == 1 ? 'c' : 'w', 1), [&](Stream& s) {
    expect_fresh_buffer(*s.rdbuf(), mode);
    EXPECT_EQ(static_cast<std::basic_ios<C>&>(s).rdbuf(), s.rdbuf())
        << "attached to its own buffer";
    EXPECT_TRUE(s.good());
    EXPECT_EQ(s.flags(), std::ios_base::skipws | std::ios_base::dec);
    EXPECT_EQ(s.tie(), nullptr);
  });
}

const std::ios_base::openmode in = std::ios_base::in, out = std::ios_base::out;

TEST(StringBuffers, StartReadWriteEmptyAndWithoutAreas) {
  for (int kind : {1, 2}) {
    construct_and_check<std::stringbuf>(ctor_name("15basic_stringbuf", 'c', kind),
                                        [](auto& b) { expect_fresh_buffer(b, in | out); });
    construct_and_check<std::wstringbuf>(ctor_name("15basic_stringbuf", 'w', kind),
                                         [](auto& b) { expect_fresh_buffer(b, in | out); });
  }
}

TEST(StringStreams, OpenTheirBufferInTheirModeAndAttachIt) {
  check_stream<std::istringstream>("19basic_istringstream", in);
  check_stream<std::wistringstream>("19basic_istringstream", in);
  check_stream<std::ostringstream>("19basic_ostringstream", out);
  check_stream<std::wostringstream>("19basic_ostringstream", out);
  check_stream<std::stringstream>("18basic_stringstream", in | out);
  check_stream<std::wstringstream>("18basic_stringstream", in | out);
}

// Buffers have no virtual base, so both names are one entry point; streams
// have two.
TEST(StreamExports, GiveBuffersOneEntryPointAndStreamsTwo) {
  for (const char* cls : {"15basic_stringbuf", "19basic_istringstream",
                          "19basic_ostringstream", "18basic_stringstream"})
    for (char c : {'c', 'w'}) {
      SCOPED_TRACE(ctor_name(cls, c, 1));
      void* complete = in_library(ctor_name(cls, c, 1));
      void* base = in_library(ctor_name(cls, c, 2));
      ASSERT_TRUE(complete && base);
      EXPECT_EQ(complete == base, std::string(cls) == "15basic_stringbuf");
    }
}

// As `nm -D` lists them: the string-stream constructors, the narrow-string
// members and the assertion reporter are the library's 20 weak functions.
TEST(StreamExports, AreWeakFunctions) {
  FILE* pipe =
      popen(("nm -D --defined-only " + vornel::guard::path_library_file()).c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string listing;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) listing.append(buf, n);
  pclose(pipe);
  int weak = 0;
  std::istringstream lines(listing);
  std::string address, letter, name;
  while (lines >> address >> letter >> name)
    if (name.rfind("_ZNSt7__cxx11", 0) == 0 || name == "_ZSt20__replacement_assertPKciS0_S0_") {
      EXPECT_EQ(letter, "W") << name;
      ++weak;
    }
  EXPECT_EQ(weak, 20);
}

TEST(NarrowString, LibraryMembersBuildAndReleaseAString) {
  using Ctor = void (*)(void*, const char*, const std::allocator<char>&);
  const std::string prefix = "_ZNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE";
  auto* complete = reinterpret_cast<Ctor>(in_library(prefix + "C1EPKcRKS3_"));
  auto* dispose = reinterpret_cast<void (*)(void*)>(in_library(prefix + "10_M_disposeEv"));
  ASSERT_TRUE(complete && dispose);
  EXPECT_EQ(reinterpret_cast<void*>(complete), in_library(prefix + "C2EPKcRKS3_"));
  for (const char* text : {"", "short", "a text longer than the small buffer"}) {
    SCOPED_TRACE(text);
    const long live = live_allocations();
    alignas(std::string) unsigned char storage[sizeof(std::string)];
    complete(storage, text, std::allocator<char>());
    EXPECT_EQ(*reinterpret_cast<const std::string*>(storage), text);
    EXPECT_EQ(live_allocations() - live, std::strlen(text) > 15 ? 1 : 0);
    dispose(storage);
    EXPECT_EQ(live_allocations(), live);
  }
}

}  // namespace
