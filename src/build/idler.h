#pragma once

#include <string>

namespace tidewater {

class ProjectElement;

/// Called back by the build walk: poll on entry to every node, node started
/// just before every tool step. The plain Idler does nothing in poll, and
/// node started forwards to poll.
class Idler {
 public:
  virtual ~Idler() = default;

  virtual void poll() {}
  virtual void nodeStarted(ProjectElement* /*node*/, const std::string& /*configuration*/) { poll(); }
};

}  // namespace tidewater
