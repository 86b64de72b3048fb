#pragma once

namespace tidewater {

/// The flags a build walk checks before each child and each command: set
/// when a step fails (a builder sets "failed" when a command fails) or when a
/// stop is requested. Once set, the walk does no further work.
struct BuildStatus {
  bool failed = false;
  bool stopRequested = false;
};

}  // namespace tidewater
