// The contract-check reporter: one line on standard output, then abort.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fs_path>
#include <functional>
#include <string>

namespace {

struct Outcome {
  std::string out;
  int signal = 0;
};

// Runs `body` in a child whose standard output is captured.
Outcome in_child(const std::function<void()>& body) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(fds[1]);
  Outcome outcome;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) outcome.out.append(buf, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

TEST(Report, PrintsOneLineOnStandardOutputThenAborts) {
  const Outcome o = in_child([] {
    std::__replacement_assert("src/x.cc", 42, "void f(int)", "n > 0");
  });
  EXPECT_EQ(o.out, "src/x.cc:42: void f(int): Assertion 'n > 0' failed.\n");
  EXPECT_EQ(o.signal, SIGABRT);
}

TEST(Report, NamesTheBrokenConditionOfTheLibrarysOwnChecks) {
  const struct {
    std::function<void()> body;
    const char* condition;
    const char* function;
  } cases[] = {
      {[] {
         const std::filesystem::path::_List list;
         list.begin();
       },
       "'!empty()'",
       "path::_List::begin() const"},
      {[] {
         const std::filesystem::path::_List list;
         list.end();
       },
       "'!empty()'",
       "path::_List::end() const"},
      {[] { --std::filesystem::path("a").begin(); }, "'_M_at_end'", "operator--"},
      {[] { ++std::filesystem::path("a").end(); }, "'!_M_at_end'", "operator++"},
      {[] {
         const std::filesystem::path p("a/b");
         *p.end();
       },
       "'_M_cur != _M_path->_M_cmpts.end()'", "operator*"},
      {[] { --std::filesystem::path("a/b").begin(); },
       "'_M_cur != _M_path->_M_cmpts.begin()'", "operator--"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.condition);
    const Outcome o = in_child(c.body);
    EXPECT_EQ(o.signal, SIGABRT);
    EXPECT_NE(o.out.find(std::string(": Assertion ") + c.condition + " failed.\n"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find(c.function), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find('\n'), o.out.size() - 1) << "exactly one line";
  }
}

}  // namespace
