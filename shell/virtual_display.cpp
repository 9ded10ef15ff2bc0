#include "shell/virtual_display.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tallwick_shell {
namespace {

// In the child: Xvfb writes the display number it took to `fd`, and gets
// SIGTERM when its parent dies.
[[noreturn]] void ExecServer(int fd, int width, int height) {
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string displayFd = std::to_string(fd);
  execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", screen.c_str(), "+extension", "GLX",
         "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
  _exit(127);
}

// The display number line Xvfb writes once it is ready for clients.
std::string ReadDisplayNumber(int fd) {
  std::string text;
  char c = 0;
  while (read(fd, &c, 1) == 1 && c != '\n') text += c;
  return text;
}

}  // namespace

VirtualDisplay::~VirtualDisplay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool VirtualDisplay::Start(int width, int height, std::string& error) {
  int fds[2] = {-1, -1};
  if (pipe(fds) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    ExecServer(fds[1], width, height);
  }
  close(fds[1]);
  const std::string number = pid_ > 0 ? ReadDisplayNumber(fds[0]) : std::string();
  close(fds[0]);
  if (number.empty()) {
    error = pid_ < 0 ? std::string("fork: ") + std::strerror(errno)
                     : "Xvfb did not start (is the xvfb package installed? scripts/setup.sh --shell installs it)";
    return false;
  }
  name_ = ":" + number;
  setenv("DISPLAY", name_.c_str(), 1);
  return true;
}

}  // namespace tallwick_shell
