#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace tallwick_shell {

// One of the processes that Chromium started under this shell.
struct BrowserProcess {
  pid_t pid = 0;
  // "zygote" for the zygotes themselves; of the processes forked from a
  // zygote (which all keep its command line), "renderer" for those with a
  // compositor thread and "plugin" for the others: the zygote preloads the
  // module, so only the threads tell the plug-in process from a renderer.
  // Otherwise Chromium's --type= switch.
  std::string type;
  double cpuMs = 0;  // user + system time so far
};

// The processes below this one (children, grandchildren, ...) that carry a
// Chromium --type= switch, read from /proc. The browser process itself is
// this one and is not listed.
std::vector<BrowserProcess> ListBrowserProcesses();

// User + system CPU time so far, in ms, of this process.
double OwnCpuMs();

// The same, of this process's GPU work alone: Qt WebEngine runs Chromium's
// GPU service on a thread of the browser process ("Chrome_InProcGpuThread"),
// and Mesa's software rasteriser on threads of its own ("llvmpipe-N").
double OwnGpuCpuMs();

}  // namespace tallwick_shell
