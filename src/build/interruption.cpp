#include "build/interruption.h"

#include <csignal>
#include <cstdlib>

namespace tidewater {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t caught = 0;

void record(int signal) { caught = signal; }

}  // namespace

void catchInterruptions() {
  struct sigaction action {};
  action.sa_handler = record;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocking wait for the child must return, so that the
  // signal can be passed on to it.
  action.sa_flags = 0;
  for (const int signal : kSignals) sigaction(signal, &action, nullptr);
}

int interruption() { return caught; }

void endByInterruption() {
  const int signal = caught;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // should the signal's default action not end the process
}

}  // namespace tidewater
