// tear-load: keeps the CPU oversubscribed while the tear benchmark samples
// pictures. Half of its threads spin on arithmetic, the other half copy a
// buffer to and fro (memory bandwidth, as a media process's copies take it).
// It ends after --seconds, on SIGTERM or SIGINT, or when the process that
// started it ends, so a killed benchmark leaves no load behind.
#include <sys/prctl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <thread>
#include <vector>

#include "support/guarded_main.h"

namespace {

std::atomic<uint64_t> g_sink{0};

[[noreturn]] void Spin() {
  uint64_t x = 88172645463325252ULL;
  for (;;) {
    for (int i = 0; i < 1 << 20; ++i) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
    }
    g_sink.fetch_add(x, std::memory_order_relaxed);
  }
}

[[noreturn]] void Copy(size_t bytes) {
  std::vector<uint8_t> a(bytes, 1);
  std::vector<uint8_t> b(bytes, 2);
  for (;;) {
    std::memcpy(b.data(), a.data(), bytes);
    std::memcpy(a.data(), b.data(), bytes);
    g_sink.fetch_add(a[bytes / 2], std::memory_order_relaxed);
  }
}

int Main(int argc, char** argv) {
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  unsigned threads = cores;
  double seconds = 3600;
  size_t megabytes = 16;
  CLI::App app{
      "Oversubscribes the CPU: half the threads spin, half copy a buffer to and fro. Ends after --seconds, on\n"
      "SIGTERM or SIGINT, or when its parent process ends."};
  app.add_option("--threads", threads, "threads (default: one per core)")->check(CLI::Range(1U, 256U));
  app.add_option("--seconds", seconds, "end after this long")->capture_default_str()->check(CLI::Range(0.1, 86400.0));
  app.add_option("--buffer-mb", megabytes, "size of each copying thread's buffer in MB")
      ->capture_default_str()
      ->check(CLI::Range(1, 1024));
  CLI11_PARSE(app, argc, argv);

  // Dies with its parent; a parent already gone (reparented) means now.
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) return 0;

  std::cerr << "tear-load: " << threads << " threads (" << (threads + 1) / 2 << " spinning, " << threads / 2
            << " copying " << megabytes << " MB) on " << cores << " cores for at most " << seconds << " s\n";
  for (unsigned i = 0; i < threads; ++i) {
    if (i % 2 == 0) {
      std::thread(Spin).detach();
    } else {
      std::thread(Copy, megabytes << 20).detach();
    }
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("tear-load", Main, argc, argv); }
