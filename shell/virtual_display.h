#pragma once

#include <sys/types.h>
#include <string>

namespace tallwick_shell {

// An X server of this run's own (Xvfb with GLX, Mesa's software GL behind
// it), for machines without a display. Started on a free display number and
// stopped when the object goes; it also ends if this process dies, so no
// server outlives a crashed run.
class VirtualDisplay {
 public:
  VirtualDisplay() = default;
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // Starts the server with a screen of at least width x height and sets
  // DISPLAY to it. False with the reason in `error` when it cannot.
  bool Start(int width, int height, std::string& error);

  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace tallwick_shell
