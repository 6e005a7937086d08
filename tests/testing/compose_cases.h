// Shared by the tests of the operations that change a path in place: what a
// call may leave of the path whichever of its allocations fails, and the case
// tables that appending and concatenation both run through their path and
// text forms.
#ifndef VORNEL_TESTS_TESTING_COMPOSE_CASES_H
#define VORNEL_TESTS_TESTING_COMPOSE_CASES_H

#include <gtest/gtest.h>

#include <algorithm>
#include <fs_path>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/raw_state.h"
#include "testing/sweep.h"

namespace vornel::test {

// Calls change(p) on a fresh p = make() through the sweep; whichever
// allocation fails, p must be valid and in one of the states `allowed` names
// (state() form). Returns the number of failures seen.
template <typename Make, typename Change>
long expect_failures_leave_one_of(Make make, Change change,
                                  const std::vector<std::string>& allowed) {
  return sweep_allocation_failures([&](InjectedFailure& failure) {
    path p = make();
    if (!failure.run([&] { change(p); })) return;
    const std::string after = state(p);
    EXPECT_EQ(invariant_violation(p), "") << "allocation " << failure.k();
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), after), allowed.end())
        << "allocation " << failure.k() << " failed and left " << after;
  });
}

// The strong guarantee: whichever allocation fails, the path is as before.
template <typename Make, typename Change>
long expect_unchanged_on_failure(Make make, Change change) {
  return expect_failures_leave_one_of(make, change, {state(make())});
}

// Names long enough to live outside the string, so that failing allocations
// reach them.
inline const std::string kLong1(20, 'l');
inline const std::string kLong2(24, 'm');

// One way of adding an argument to a path: by path or by text.
struct Form {
  const char* name;
  void (*apply)(path& p, const std::string& arg);
};

// A path, what is added to it, and state() of the result.
struct EditCase {
  std::string path, arg;
  std::string expected;
};

template <std::size_t N, std::size_t M>
void expect_each_form_gives(const Form (&forms)[N], const EditCase (&cases)[M]) {
  for (const Form& form : forms) {
    for (const EditCase& c : cases) {
      SCOPED_TRACE(c.path + " " + form.name + " " + c.arg);
      path p(c.path);
      form.apply(p, c.arg);
      EXPECT_EQ(state(p), c.expected);
      EXPECT_EQ(invariant_violation(p), "");
    }
  }
}

// A path changed by a call that reads the path itself, and state() of the
// result.
struct SelfCase {
  const char* text;
  void (*change)(path& p);
  const char* expected;
};

template <std::size_t M>
void expect_each_self_change_gives(const SelfCase (&cases)[M]) {
  for (const SelfCase& c : cases) {
    SCOPED_TRACE(c.text);
    path p(c.text);
    c.change(p);
    EXPECT_EQ(state(p), c.expected);
  }
}

// A text so long that the result cannot be a string must raise the string's
// own length error through `by_text` (adding text of the given size), and
// exactly at the maximum the allocation fails in `raw`; the path is left as
// it was.
inline void expect_too_long_changes_nothing(const char* text,
                                            void (*by_text)(path& p, std::string_view s),
                                            void (*raw)(path& p, std::string_view s)) {
  SCOPED_TRACE(text);
  const std::size_t max = std::string().max_size();
  const char bytes[] = "xyz";
  path p(text);
  const std::string before = state(p);
  const std::size_t room = max - p.native().size();
  for (std::size_t size : {room + 1, max}) {
    try {
      by_text(p, std::string_view(bytes, size));
      ADD_FAILURE() << "no error";
    } catch (const std::length_error& e) {
      EXPECT_STREQ(e.what(), "basic_string::append");
    }
    EXPECT_EQ(state(p), before);
  }
  EXPECT_THROW(raw(p, std::string_view(bytes, room)), std::bad_alloc);
  EXPECT_EQ(state(p), before);
}

// A path and what is added to it.
struct FailureCase {
  std::string path;
  std::string arg;
};

template <std::size_t N, std::size_t M>
void expect_each_form_unchanged_on_failure(const Form (&forms)[N],
                                           const FailureCase (&cases)[M]) {
  for (const Form& form : forms) {
    for (const FailureCase& c : cases) {
      SCOPED_TRACE(c.path + " " + form.name + " " + c.arg);
      EXPECT_GE(expect_unchanged_on_failure([&] { return path(c.path); },
                                            [&](path& p) { form.apply(p, c.arg); }),
                1);
    }
  }
}

}  // namespace vornel::test

#endif  // VORNEL_TESTS_TESTING_COMPOSE_CASES_H
