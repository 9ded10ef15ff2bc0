// Page scripts (page_script.h) played against the module linked into the
// in-process host, with the checks of page_target.h on every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "page_streams.h"
#include "page_target.h"

namespace {

void RemoveSegments() {
  for (size_t i = 0; i <= tallwick_fuzz::kStreamCount; ++i) shoom::Shm::Remove(tallwick_fuzz::StreamPath(i));
}

// Never destroyed: the module and the host stay up until the process ends;
// only the segments' names are removed then.
tallwick_fuzz::PageTarget& TheTarget() {
  static tallwick_fuzz::PageTarget* target = [] {
    // The names first: what is made before the handler is registered goes
    // away after it runs.
    tallwick_fuzz::StreamPath(0);
    std::atexit(RemoveSegments);
    return new tallwick_fuzz::PageTarget();
  }();
  return *target;
}

// The module's log goes to a file under $TMPDIR, written and flushed a line
// at a time: a third of what an input costs. Here TMPDIR is a folder in the
// working directory where the log's own folder cannot be made (a file has
// its name), so every line is still formatted but none is written.
void KeepLogsInMemory() {
  const std::filesystem::path folder = std::filesystem::absolute(tallwick_fuzz::kNoLogFolder);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "tallwick-log") << "a file, so that no log folder can be made here\n";
  setenv("TMPDIR", folder.c_str(), 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  KeepLogsInMemory();
  TheTarget();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TheTarget().RunInput(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
