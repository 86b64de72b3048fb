#pragma once
// The reference the XML benchmarks measure against: libxml2's xmllint
// parsing a file 100 times in one process (--repeat), so its start-up is
// spread over 100 parses; and the timer every side is measured with.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

namespace tidewater::bench {

inline constexpr int kXmllintRepeat = 100;  // what xmllint --repeat does

inline double secondsFor(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// Fastest round of each side, the rounds alternating the sides, so that
/// other work on the machine weighs on none more.
struct FastestRounds {
  double ours = 1e30;
  double reference = 1e30;
  double secondReference = 1e30;
};
inline FastestRounds fastestRounds(int rounds, const std::function<void()>& ours,
                                   const std::function<void()>& reference,
                                   const std::function<void()>& secondReference = {}) {
  // Freed memory stays in the process. Otherwise glibc gives the top of the
  // heap back after every document, and each parse pays the kernel's page
  // faults again: that cost, not the parse, dominated pugixml's times.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_TOP_PAD, 64 << 20);
  FastestRounds fastest;
  for (int round = 0; round < rounds; ++round) {
    fastest.ours = std::min(fastest.ours, secondsFor(ours));
    fastest.reference = std::min(fastest.reference, secondsFor(reference));
    if (secondReference) fastest.secondReference = std::min(fastest.secondReference, secondsFor(secondReference));
  }
  return fastest;
}

/// Runs "xmllint --noout --repeat path"; false when it did not succeed.
inline bool runXmllint(const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    const char* arguments[] = {"xmllint", "--noout", "--repeat", path.c_str(), nullptr};
    execvp("xmllint", const_cast<char* const*>(arguments));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tidewater::bench
