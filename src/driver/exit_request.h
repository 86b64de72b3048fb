#pragma once

namespace tidewater {

/// Thrown by an option that finishes the run while parsing ("-help", a
/// "list" value); the driver's top level returns its status. Using an
/// exception instead of exit() lets open indirect files close on the way up.
struct ExitRequest {
  int status = 0;
};

}  // namespace tidewater
