#include "support/run_program.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace tidewater::test {

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments,
                         const std::string& directory) {
  int pipes[2][2];  // standard output, standard error
  if (pipe(pipes[0]) != 0 || pipe(pipes[1]) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(pipes[0][1], 1);
    dup2(pipes[1][1], 2);
    for (const int fd : {pipes[0][0], pipes[0][1], pipes[1][0], pipes[1][1]}) close(fd);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  ProgramResult result;
  std::string* sinks[2] = {&result.standardOutput, &result.standardError};
  pollfd fds[2] = {{pipes[0][0], POLLIN, 0}, {pipes[1][0], POLLIN, 0}};
  close(pipes[0][1]);
  close(pipes[1][1]);
  for (int open = 2; open > 0 && poll(fds, 2, -1) >= 0;) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t count = read(fds[i].fd, buffer, sizeof buffer);
      if (count > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(count));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tidewater::test
