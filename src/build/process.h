#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build/output_channel.h"

namespace tidewater {

/// Runs one child at a time (posix_spawn with a PATH search, never a shell,
/// so no argument is re-parsed), reading both its output pipes with poll and handing each
/// line not captured by a redirection to the line sink. A child is always
/// reaped before the next one starts.
class Process {
 public:
  /// Receives one line of the child's output, without its terminator.
  using LineSink = std::function<void(bool isStandardOutput, std::string_view line)>;

  /// "idleMicroseconds" is the pause between polls while waiting for a child.
  explicit Process(LineSink lineSink, unsigned idleMicroseconds = 1000)
      : lineSink_(std::move(lineSink)), idleMicroseconds_(idleMicroseconds) {}
  /// Closes what an interrupted run left open.
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  /// Runs arguments[0] (searched on the PATH) with "arguments" in
  /// "workingDirectory" (empty for the current one) and waits for it.
  /// Redirections (">", "2>>", "&>", ...) are honoured: the first operator
  /// and everything after it are removed from the list, and the named files,
  /// relative to the working directory, receive the lines of their streams.
  /// Returns the exit code as a signed 8-bit number (so 255 reads as -1), or
  /// -1 when the child could not start, was ended by a signal or the list is
  /// empty. A non-empty "program" is started in place of arguments[0], which
  /// stays the name the child sees.
  int run(std::vector<std::string> arguments, const std::string& workingDirectory,
          const std::string& program = {});

 private:
  /// One of the child's two output streams as seen from here.
  struct Stream {
    OutputChannel channel;
    int pipe = -1;     ///< read end, -1 when closed
    int capture = -1;  ///< redirection target, -1 when none
  };

  void openCaptures(std::vector<std::string>& arguments, const std::string& workingDirectory);
  void closeCaptures();
  void closePipes();
  void readUntilHangUp();
  /// Reads what the pipe reports as readable; returns the byte count.
  std::size_t readAvailable(Stream& stream, bool isStandardOutput);
  /// Reads until end of file (every writer has closed the pipe).
  void readToEnd(Stream& stream, bool isStandardOutput);
  void append(Stream& stream, bool isStandardOutput, std::string_view bytes);
  void deliverLine(bool isStandardOutput, std::string_view line);
  void finishOutput();
  /// Blocking wait for the child; its status as run returns it.
  int reap();
  /// Sends the running child the signal this process caught, once.
  void passOnInterruption();
  void idle() const;

  LineSink lineSink_;
  unsigned idleMicroseconds_;
  pid_t child_ = 0;
  bool interruptionPassedOn_ = false;
  Stream out_;
  Stream err_;
  std::vector<char> readBuffer_;
};

}  // namespace tidewater
