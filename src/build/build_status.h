#pragma once

namespace tidewater {

/// The one state of a build: set when a step fails (a failed command, or a
/// step that cannot be formed) or when a stop is requested. The Builder owns
/// it; the walk reads it before each child and each command and does no
/// further work once it says stopped.
struct BuildStatus {
  bool failed = false;
  bool stopRequested = false;

  bool stopped() const { return failed || stopRequested; }
};

}  // namespace tidewater
