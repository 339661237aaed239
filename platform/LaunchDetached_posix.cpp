#include "platform/LaunchDetached.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {

// Runs in the forked grandchild, where only async-signal-safe calls are
// allowed (the host may have other threads). The report pipe is moved to
// descriptor 3 and closed on exec, so the parent reads end of file when
// the program started and the errno when it did not.
[[noreturn]] void ExecInGrandchild(const char* program, char* const* argv, int report) {
  if (report != 3) {
    dup2(report, 3);
    report = 3;
  }
  fcntl(report, F_SETFD, FD_CLOEXEC);
  // The host's files, sockets and devices stay the host's.
  close_range(4, ~0U, 0);
  execvp(program, argv);
  const int error = errno;
  (void)!write(report, &error, sizeof error);
  _exit(127);
}

}  // namespace

bool LaunchDetached(const char* program, const char* argument) {
  if (!program || !argument) return false;
  char* const argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  // A child that forks the program and ends at once: the program is
  // orphaned and adopted by init, which reaps it. Only the short-lived
  // child is waited for here.
  const pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    const pid_t grandchild = fork();
    if (grandchild == 0) ExecInGrandchild(program, argv, report[1]);
    if (grandchild < 0) {
      const int error = errno;
      (void)!write(report[1], &error, sizeof error);
    }
    _exit(0);
  }
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return false;
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;
}
