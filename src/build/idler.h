#pragma once

#include <string>

namespace tidewater {

class ProjectElement;

/// Called back by the build walk: poll on entry to every node, node started
/// just before every tool step. The driver's build runs one child at a time
/// and waits for it, so there is nothing to do in between: both are no-ops.
class Idler {
 public:
  void poll() {}
  void nodeStarted(ProjectElement* /*node*/, const std::string& /*configuration*/) { poll(); }
};

}  // namespace tidewater
