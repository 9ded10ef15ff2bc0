#include "shell/browser_processes.h"

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>

namespace tallwick_shell {
namespace {

struct ProcStat {
  std::string name;
  pid_t parent = 0;
  double cpuMs = 0;
};

// /proc/PID/stat: "pid (comm) state ppid ... utime(14) stime(15) ...". The
// command name may hold spaces and parentheses, so fields count from the
// last ')'.
bool ReadStat(const std::string& statPath, ProcStat& stat) {
  std::ifstream file(statPath);
  std::string text;
  if (!std::getline(file, text)) return false;
  const size_t open = text.find('(');
  const size_t close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  stat.name = text.substr(open + 1, close - open - 1);
  std::istringstream fields(text.substr(close + 2));
  std::string skip;
  char state = 0;
  long long utime = 0;
  long long stime = 0;
  fields >> state >> stat.parent;
  for (int field = 5; field <= 13; ++field) fields >> skip;
  fields >> utime >> stime;
  if (!fields) return false;
  stat.cpuMs = static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return true;
}

std::string ProcPath(pid_t pid, const char* what) { return "/proc/" + std::to_string(pid) + "/" + what; }

bool HasThread(pid_t pid, const std::string& name) {
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(ProcPath(pid, "task"), failed)) {
    std::ifstream comm(entry.path() / "comm");
    std::string thread;
    if (std::getline(comm, thread) && thread == name) return true;
  }
  return false;
}

std::string ChromiumType(pid_t pid) {
  std::ifstream file(ProcPath(pid, "cmdline"), std::ios::binary);
  std::string argument;
  const std::string prefix = "--type=";
  while (std::getline(file, argument, '\0')) {
    if (argument.compare(0, prefix.size(), prefix) == 0) return argument.substr(prefix.size());
  }
  return {};
}

std::map<pid_t, ProcStat> AllProcesses() {
  std::map<pid_t, ProcStat> all;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", failed)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto pid = static_cast<pid_t>(std::stol(name));
    ProcStat stat;
    if (ReadStat(ProcPath(pid, "stat"), stat)) all[pid] = stat;
  }
  return all;
}

bool DescendsFrom(pid_t pid, pid_t ancestor, const std::map<pid_t, ProcStat>& all) {
  for (int depth = 0; depth < 64 && pid > 1; ++depth) {
    const auto found = all.find(pid);
    if (found == all.end()) return false;
    pid = found->second.parent;
    if (pid == ancestor) return true;
  }
  return false;
}

std::string KindOf(pid_t pid, const ProcStat& stat, pid_t self) {
  std::string type = ChromiumType(pid);
  if (type != "zygote" || stat.parent == self) return type;
  return HasThread(pid, "Compositor") ? "renderer" : "plugin";
}

}  // namespace

std::vector<BrowserProcess> ListBrowserProcesses() {
  const pid_t self = getpid();
  const std::map<pid_t, ProcStat> all = AllProcesses();
  std::vector<BrowserProcess> found;
  for (const auto& [pid, stat] : all) {
    if (!DescendsFrom(pid, self, all)) continue;
    const std::string kind = KindOf(pid, stat, self);
    if (!kind.empty()) found.push_back({pid, kind, stat.cpuMs});
  }
  return found;
}

double OwnCpuMs() {
  ProcStat stat;
  return ReadStat(ProcPath(getpid(), "stat"), stat) ? stat.cpuMs : 0.0;
}

double OwnGpuCpuMs() {
  // Thread names are cut to 15 characters.
  const auto isGpuThread = [](const std::string& name) {
    return name.rfind("Chrome_InProcGp", 0) == 0 || name.rfind("llvmpipe-", 0) == 0;
  };
  double total = 0;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(ProcPath(getpid(), "task"), failed)) {
    ProcStat stat;
    if (ReadStat((entry.path() / "stat").string(), stat) && isGpuThread(stat.name)) total += stat.cpuMs;
  }
  return total;
}

}  // namespace tallwick_shell
