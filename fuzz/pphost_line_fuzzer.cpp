// pphost's JSON-lines page protocol, any bytes: every line of the input goes
// to Host::Execute in turn, with the module linked in, on the virtual clock.
// The instances an input creates are destroyed after it; an input that shuts
// the module down gets a new host for the next one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "fuzz_host.h"
#include "host/ppapi/ppp.h"

namespace {

using pphost::Json;

// The ops that write a file take their path from the line; the fuzzer would
// write wherever a mutation points, so every such path becomes one file in
// the working directory. Only lines that are JSON objects with a "png"
// string are rewritten (a key may be spelt with escapes); every other byte
// reaches the host as it came.
std::string WithSafePath(const std::string& line) {
  if (line.find("png") == std::string::npos && line.find("\\u") == std::string::npos) return line;
  Json value = Json::parse(line, nullptr, false);
  if (value.is_discarded() || !value.is_object() || !value.contains("png") || !value["png"].is_string()) return line;
  value["png"] = "fuzz-picture.png";
  return pphost::DumpLine(value);
}

tallwick_fuzz::FuzzHost& TheHost() {
  static tallwick_fuzz::FuzzHost* host =
      new tallwick_fuzz::FuzzHost({&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule},
                                  [] { TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance(); });
  return *host;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  setenv("LP_NUM_THREADS", "0", 0);
  TheHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tallwick_fuzz::FuzzHost& host = TheHost();
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string line; std::getline(lines, line);) host.Execute(WithSafePath(line));
  host.EndInput();
  return 0;
}
