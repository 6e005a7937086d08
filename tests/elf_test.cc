// What the dynamic loader sees of libvornel.so: identity, needed list, run
// path, load-time arrays, exported names, required symbol versions, and the
// relocations that route the library's own calls through its symbol table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
  pclose(pipe);
  return out;
}

// The library under test: the one built here, or the file that VORNEL_LIBRARY
// names, such as a packaged copy.
const std::string kLibrary = [] {
  const char* file = std::getenv("VORNEL_LIBRARY");
  return std::string(file && *file ? file : VORNEL_LIBRARY_FILE);
}();

std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  std::regex re(pattern);
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
    found.push_back((*it)[1]);
  return found;
}

std::set<std::string> exported_list() {
  std::set<std::string> names;
  for (const char* file : {"/src/shell/vornel.map"}) {
    std::ifstream in(std::string(VORNEL_BINARY_DIR) + file);
    std::string line;
    while (std::getline(in, line)) {
      std::smatch m;
      if (std::regex_match(line, m, std::regex(R"(^    ([_A-Za-z0-9]+);$)")))
        names.insert(m[1]);
    }
  }
  return names;
}

std::set<std::string> defined_dynamic_names() {
  std::set<std::string> names;
  std::istringstream in(run("nm -D --defined-only " + kLibrary));
  std::string addr, type, name;
  while (in >> addr >> type >> name) names.insert(name);
  return names;
}

TEST(Identity, IsAnX86_64SharedObjectWithItsSoname) {
  const std::string header = run("readelf -hW " + kLibrary);
  EXPECT_NE(header.find("DYN (Shared object file)"), std::string::npos) << header;
  EXPECT_NE(header.find("Advanced Micro Devices X86-64"), std::string::npos);
  EXPECT_NE(header.find("ELF64"), std::string::npos);
  const std::string dynamic = run("readelf -dW " + kLibrary);
  EXPECT_EQ(matches(dynamic, R"(\(SONAME\)\s+Library soname: \[([^\]]*)\])"),
            std::vector<std::string>{"libvornel.so"});
}

TEST(Identity, NeedsItsLibrariesInOrder) {
  const std::string dynamic = run("readelf -dW " + kLibrary);
  const std::vector<std::string> expected = {
      "libcudart.so.12", "librt.so.1",        "libpthread.so.0", "libdl.so.2",
      "libtorch_hip.so", "libstratahip.so.5", "libstdc++.so.6",  "libm.so.6",
      "libgcc_s.so.1",   "libc.so.6"};
  EXPECT_EQ(matches(dynamic, R"(\(NEEDED\)\s+Shared library: \[([^\]]*)\])"), expected);
}

TEST(Identity, SearchesOnlyItsTwoRunPathDirectories) {
  const std::string dynamic = run("readelf -dW " + kLibrary);
  EXPECT_EQ(matches(dynamic, R"(\(RUNPATH\)\s+Library runpath: \[([^\]]*)\])"),
            std::vector<std::string>{
                "/usr/local/lib:/usr/local/lib/python3.11/site-packages/torch/lib"});
  EXPECT_EQ(dynamic.find("(RPATH)"), std::string::npos);
  EXPECT_EQ(dynamic.find(VORNEL_BINARY_DIR), std::string::npos);
}

TEST(Identity, BindsLazilyWithoutSymbolicOrTextRelocations) {
  const std::string dynamic = run("readelf -dW " + kLibrary);
  for (const char* flag : {"BIND_NOW", "(SYMBOLIC)", "(TEXTREL)", "NOW"})
    EXPECT_EQ(dynamic.find(flag), std::string::npos) << flag;
  EXPECT_NE(dynamic.find("(INIT)"), std::string::npos);
  EXPECT_NE(dynamic.find("(FINI)"), std::string::npos);
}

TEST(Identity, HasNonExecutableStackRelroAndAnUnwindSearchTable) {
  const std::string segments = run("readelf -lW " + kLibrary);
  EXPECT_TRUE(std::regex_search(segments, std::regex(R"(GNU_STACK(\s+\S+){5}\s+RW\s)")))
      << segments;
  EXPECT_NE(segments.find("GNU_EH_FRAME"), std::string::npos);
  EXPECT_NE(segments.find("GNU_RELRO"), std::string::npos);
  EXPECT_NE(run("readelf -SW " + kLibrary).find(".eh_frame_hdr"), std::string::npos);
}

// Frame registration first, then the one stream initialisation; one finaliser.
TEST(LoadTime, InitialisesFramesThenStreamsAndFinalisesOnce) {
  const std::string dynamic = run("readelf -dW " + kLibrary);
  EXPECT_EQ(matches(dynamic, R"(\(INIT_ARRAYSZ\)\s+(\d+) \(bytes\))"),
            std::vector<std::string>{"16"});
  EXPECT_EQ(matches(dynamic, R"(\(FINI_ARRAYSZ\)\s+(\d+) \(bytes\))"),
            std::vector<std::string>{"8"});

  // Entries of .init_array, in order, named from the static symbol table.
  const std::string dump = run("objdump -s -j .init_array " + kLibrary);
  const auto words = matches(dump, R"(\n [0-9a-f]+ ([0-9a-f]{8} [0-9a-f]{8} [0-9a-f]{8} [0-9a-f]{8}))");
  ASSERT_EQ(words.size(), 1u) << dump;
  std::istringstream hex(words[0]);
  std::vector<unsigned long long> entries;
  for (int i = 0; i < 2; ++i) {
    std::string lo, hi;
    hex >> lo >> hi;
    std::string le;  // little-endian bytes to a number
    for (const std::string& half : {hi, lo})
      for (int b = 3; b >= 0; --b) le += half.substr(b * 2, 2);
    entries.push_back(std::stoull(le, nullptr, 16));
  }
  // A stripped copy has no static symbol table, and keeps the addresses of
  // the library built here, whose table names them.
  const std::string symbols = run("nm " + std::string(VORNEL_LIBRARY_FILE));
  auto name_at = [&](unsigned long long address) {
    char key[32];
    std::snprintf(key, sizeof key, "%016llx", address);
    auto at = symbols.find(key);
    if (at == std::string::npos) return std::string();
    auto line_end = symbols.find('\n', at);
    return symbols.substr(at + 19, line_end - at - 19);
  };
  EXPECT_EQ(name_at(entries[0]), "frame_dummy");
  EXPECT_EQ(name_at(entries[1]), "_GLOBAL__sub_I_vornel.cc");
  EXPECT_EQ(matches(symbols, R"( b (_ZStL8__ioinit)\n)").size(), 1u)
      << "exactly one translation unit may hold the standard streams";
}

TEST(Exports, AreOnlyTheListedNamesWithoutVersions) {
  const auto allowed = exported_list();
  ASSERT_EQ(allowed.size(), 70u);
  for (const auto& name : defined_dynamic_names())
    EXPECT_EQ(allowed.count(name), 1u) << name << " must not be exported";
  EXPECT_EQ(run("readelf -VW " + kLibrary).find("Version definition"), std::string::npos);
}

// nm's letter for each defined dynamic symbol.
std::map<std::string, char> defined_dynamic_letters() {
  std::map<std::string, char> letters;
  std::istringstream in(run("nm -D --defined-only " + kLibrary));
  std::string addr, type, name;
  while (in >> addr >> type >> name) letters[name] = type[0];
  return letters;
}

// The runtime's string and stream members, and the reporter.
bool is_weak_function(const std::string& name) {
  return name.rfind("_ZNSt7__cxx11", 0) == 0 || name == "_ZSt20__replacement_assertPKciS0_S0_";
}

TEST(Exports, AreExactlyTheSeventyNamesWithTheirBindings) {
  const auto letters = defined_dynamic_letters();
  EXPECT_EQ(letters.size(), 70u);
  int strong = 0, weak_functions = 0, weak_objects = 0, markers = 0;
  for (const auto& name : exported_list()) {
    SCOPED_TRACE(name);
    const auto at = letters.find(name);
    ASSERT_NE(at, letters.end()) << "not exported";
    const char letter = at->second;
    if (name == "__bss_start" || name == "_edata" || name == "_end") {
      ++markers;
    } else if (name.rfind("_ZTI", 0) == 0 || name.rfind("_ZTV", 0) == 0) {
      EXPECT_EQ(letter, 'V');
      ++weak_objects;
    } else if (is_weak_function(name)) {
      EXPECT_EQ(letter, 'W');
      ++weak_functions;
    } else {
      EXPECT_EQ(letter, 'T');
      ++strong;
    }
  }
  EXPECT_EQ(strong, 45);
  EXPECT_EQ(weak_functions, 20);
  EXPECT_EQ(weak_objects, 2);
  EXPECT_EQ(markers, 3);
  // The list's base-object constructors stay inside.
  EXPECT_EQ(letters.count("_ZNSt10filesystem7__cxx114path5_ListC2Ev"), 0u);
  EXPECT_EQ(letters.count("_ZNSt10filesystem7__cxx114path5_ListC2ERKS2_"), 0u);
}

// Whether the process is threaded is told by a weak reference bound, on old
// systems, to the threads library's oldest version.
TEST(Exports, ReferToTheThreadsLibraryOnlyWeaklyAtItsOldestVersion) {
  const std::string dynamic_symbols = run("objdump -T " + kLibrary);
  EXPECT_TRUE(std::regex_search(
      dynamic_symbols,
      std::regex(R"(w\s+DF?\s+\*UND\*\s+0+\s+\(?GLIBC_2\.2\.5\)?\s+__pthread_key_create)")))
      << dynamic_symbols;
  const std::string versions = run("readelf -VW " + kLibrary);
  EXPECT_TRUE(std::regex_search(
      versions, std::regex(R"(File: libpthread\.so\.0\s+Cnt: 1\s+0x[0-9a-f]+:\s+Name: GLIBC_2\.2\.5)")))
      << versions;
}

TEST(Exports, LeaveNoPathNameForAnotherLibraryToDefine) {
  const std::string undefined = run("nm -D --undefined-only " + kLibrary);
  EXPECT_EQ(undefined.find("10filesystem"), std::string::npos) << undefined;
}

TEST(Exports, RequireNoSymbolVersionNewerThanTheOldestSupportedSystem) {
  const std::set<std::string> allowed = {
      "GLIBC_2.2.5",    "GLIBC_2.4",      "GLIBC_2.14",     "GLIBCXX_3.4",
      "GLIBCXX_3.4.11", "GLIBCXX_3.4.20", "GLIBCXX_3.4.21", "CXXABI_1.3",
      "CXXABI_1.3.5",   "CXXABI_1.3.9",   "GCC_3.0"};
  const std::string needs = run("readelf -VW " + kLibrary);
  const auto start = needs.find("Version needs section");
  ASSERT_NE(start, std::string::npos);
  for (const auto& version : matches(needs.substr(start), R"(Name: (\S+)\s+Flags)"))
    EXPECT_EQ(allowed.count(version), 1u) << version;
}

// The library's own calls to exported names go through the PLT, so the
// definition the process binds first serves the library too.
TEST(Relocations, RouteInternalCallsToExportedNamesThroughTheSymbolTable) {
  const std::string relocations = run("readelf -rW " + kLibrary);
  for (const char* name : {"_ZNSt10filesystem7__cxx114path5_ListC1Ev",
                           "_ZNSt10filesystem7__cxx114path14_M_split_cmptsEv",
                           "_ZNKSt10filesystem7__cxx114path5_List13_Impl_deleterclEPNS2_5_ImplE",
                           "_ZSt20__replacement_assertPKciS0_S0_",
                           "_ZNSt10filesystem7__cxx114pathaSERKS1_"}) {
    EXPECT_TRUE(std::regex_search(
        relocations, std::regex(std::string("R_X86_64_JUMP_SLOT\\s+[0-9a-f]+ ") + name)))
        << name;
  }
}

}  // namespace
