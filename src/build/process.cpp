#include "build/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "base/path.h"
#include "build/interruption.h"
#include "build/output_redirection.h"

namespace tidewater {

namespace {

constexpr int kPollTimeoutMilliseconds = 100;
// A failed blocking waitpid (an interrupted call) is retried this often.
constexpr int kReapRetries = 11;

// Exit codes are read as signed 8-bit numbers, so 255 reads as -1, the
// same as a signal or a program that cannot start.
int decodeStatus(int rawStatus) {
  if (!WIFEXITED(rawStatus)) return -1;
  return static_cast<int8_t>(static_cast<uint8_t>(WEXITSTATUS(rawStatus)));
}

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void closeDescriptor(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

int openCapture(const std::string& fileName, bool append, const std::string& workingDirectory) {
  const std::string path = workingDirectory.empty() ? fileName : joinPath(workingDirectory, fileName);
  const int mode = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  return open(path.c_str(), mode, 0666);
}

// Starts argv[0], searched on the PATH as execvp searches it, with its
// standard output and error on the two pipe ends and in "directory" (the
// current one when empty). posix_spawn rather than fork: the child does not
// get a copy of this process's pages, which costs more the larger the
// driver's project tree grows. The pipes' other ends are close-on-exec.
// Returns the child's id, or -1 when it could not start (no program, no
// permission, no such directory).
pid_t spawnChild(const char* program, char* const* argv, const std::string& directory, int outWrite, int errWrite) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  int error = posix_spawn_file_actions_adddup2(&actions, outWrite, STDOUT_FILENO);
  if (error == 0) error = posix_spawn_file_actions_adddup2(&actions, errWrite, STDERR_FILENO);
  if (error == 0 && !directory.empty()) error = posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid = -1;
  if (error == 0) error = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

}  // namespace

Process::~Process() {
  closePipes();
  if (child_ != 0) reap();
  closeCaptures();
}

void Process::idle() const { usleep(idleMicroseconds_); }

int Process::run(std::vector<std::string> arguments, const std::string& workingDirectory,
                 const std::string& program) {
  openCaptures(arguments, workingDirectory);
  if (arguments.empty()) {
    closeCaptures();
    return -1;
  }

  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int outPipe[2] = {-1, -1};
  int errPipe[2] = {-1, -1};
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
    for (int* fd : {&outPipe[0], &outPipe[1], &errPipe[0], &errPipe[1]}) closeDescriptor(*fd);
    closeCaptures();
    return -1;
  }
  const pid_t pid = spawnChild(program.empty() ? argv[0] : program.c_str(), argv.data(), workingDirectory, outPipe[1], errPipe[1]);
  close(outPipe[1]);
  close(errPipe[1]);
  out_.pipe = outPipe[0];
  err_.pipe = errPipe[0];
  if (pid < 0) {
    closePipes();
    closeCaptures();
    return -1;
  }
  child_ = pid;
  interruptionPassedOn_ = false;

  readUntilHangUp();
  const int status = reap();
  readAvailable(out_, true);
  readAvailable(err_, false);
  closePipes();
  finishOutput();
  return status;
}

void Process::openCaptures(std::vector<std::string>& arguments, const std::string& workingDirectory) {
  // A file that cannot be opened leaves its stream uncaptured: its lines are
  // delivered as usual.
  for (const OutputRedirection& redirection : takeRedirections(arguments)) {
    switch (redirection.target) {
      case RedirectionTarget::StandardOutput:
        if (out_.capture < 0) out_.capture = openCapture(redirection.fileName, redirection.append, workingDirectory);
        break;
      case RedirectionTarget::StandardError:
        if (err_.capture < 0) err_.capture = openCapture(redirection.fileName, redirection.append, workingDirectory);
        break;
      case RedirectionTarget::Both:
        if (out_.capture < 0 && err_.capture < 0) {
          out_.capture = openCapture(redirection.fileName, redirection.append, workingDirectory);
          err_.capture = out_.capture;
        }
        break;
    }
  }
}

void Process::closeCaptures() {
  if (err_.capture == out_.capture) err_.capture = -1;
  closeDescriptor(out_.capture);
  closeDescriptor(err_.capture);
}

void Process::closePipes() {
  closeDescriptor(out_.pipe);
  closeDescriptor(err_.pipe);
}

void Process::readUntilHangUp() {
  // Both pipes are read as data arrives, so that a child writing much to
  // either one never blocks on a full pipe.
  pollfd fds[2] = {{out_.pipe, POLLIN, 0}, {err_.pipe, POLLIN, 0}};
  Stream* streams[2] = {&out_, &err_};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    passOnInterruption();
    const int ready = ::poll(fds, 2, kPollTimeoutMilliseconds);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0) continue;
      if ((fds[i].revents & POLLIN) != 0) readAvailable(*streams[i], i == 0);
      if ((fds[i].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        readToEnd(*streams[i], i == 0);
        fds[i].fd = -1;  // poll ignores it from now on
      }
    }
    if (fds[0].fd < 0 && fds[1].fd < 0) return;
    idle();
  }
}

std::size_t Process::readAvailable(Stream& stream, bool isStandardOutput) {
  if (stream.pipe < 0) return 0;
  int readable = 0;
  if (ioctl(stream.pipe, FIONREAD, &readable) != 0 || readable <= 0) return 0;
  readBuffer_.resize(static_cast<std::size_t>(readable));
  ssize_t count;
  do {
    count = read(stream.pipe, readBuffer_.data(), readBuffer_.size());
  } while (count < 0 && errno == EINTR);
  if (count <= 0) return 0;
  append(stream, isStandardOutput, std::string_view(readBuffer_.data(), static_cast<std::size_t>(count)));
  return static_cast<std::size_t>(count);
}

void Process::readToEnd(Stream& stream, bool isStandardOutput) {
  if (stream.pipe < 0) return;
  readBuffer_.resize(65536);
  for (;;) {
    const ssize_t count = read(stream.pipe, readBuffer_.data(), readBuffer_.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    append(stream, isStandardOutput, std::string_view(readBuffer_.data(), static_cast<std::size_t>(count)));
  }
}

void Process::append(Stream& stream, bool isStandardOutput, std::string_view bytes) {
  stream.channel.append(bytes, [this, isStandardOutput](std::string_view line) {
    deliverLine(isStandardOutput, line);
  });
}

void Process::deliverLine(bool isStandardOutput, std::string_view line) {
  const int capture = isStandardOutput ? out_.capture : err_.capture;
  if (capture < 0) {
    lineSink_(isStandardOutput, line);
    return;
  }
  writeAll(capture, line);
  writeAll(capture, "\n");
}

void Process::finishOutput() {
  out_.channel.finish([this](std::string_view line) { deliverLine(true, line); });
  err_.channel.finish([this](std::string_view line) { deliverLine(false, line); });
  closeCaptures();
}

void Process::passOnInterruption() {
  if (child_ == 0 || interruptionPassedOn_ || interruption() == 0) return;
  kill(child_, interruption());
  interruptionPassedOn_ = true;
}

int Process::reap() {
  int rawStatus = 0;
  const auto wait = [&] {
    pid_t ended;
    while ((ended = waitpid(child_, &rawStatus, 0)) < 0 && errno == EINTR) passOnInterruption();
    return ended;
  };
  passOnInterruption();
  pid_t ended = wait();
  for (int retry = 0; ended != child_ && retry < kReapRetries; ++retry) {
    idle();
    ended = wait();
  }
  child_ = 0;
  return ended > 0 ? decodeStatus(rawStatus) : -1;
}

}  // namespace tidewater
