#pragma once

namespace tidewater {

/// SIGINT, SIGTERM and SIGHUP during a build. The handler only records the
/// signal; the process runner passes it on to the running child and waits
/// for it, no further command starts, the running step removes its partial
/// files as it fails, and the driver then ends by the same signal, so that
/// the caller (make, a shell) sees the usual status of an interrupted run.
void catchInterruptions();

/// The signal caught since catchInterruptions, or 0.
int interruption();

/// Ends the process by the signal caught, with its default action.
[[noreturn]] void endByInterruption();

}  // namespace tidewater
