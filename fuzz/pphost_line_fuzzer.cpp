// pphost's JSON-lines page protocol, any bytes: every line of the input goes
// to Host::Execute in turn, with the module linked in, on the virtual clock.
// The instances an input creates are destroyed after it; an input that shuts
// the module down gets a new host for the next one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "controller/controller_embed.h"
#include "devhost/json.h"
#include "fuzz_host.h"
#include "host/ppapi/ppp.h"

namespace {

using pphost::Json;

// Two fields are bounded before the host sees them, on lines that are JSON
// objects only (a key may be spelt with escapes); every other byte reaches
// the host as it came:
// - a "png" path becomes one file in the working directory, and a message's
//   "logPath" one folder there, since the fuzzer would otherwise write
//   wherever a mutation points;
// - the virtual time that "run" lines serve is at most kRunBudgetMs an input.
//   A run of up to 1e12 ms is valid, but with a module timer pending it costs
//   real time in proportion to the timer's callbacks (hours), which says
//   nothing new; values the host refuses are passed on unchanged.
constexpr double kRunBudgetMs = 20000;
constexpr double kLongestRunMs = 1e12;

class LineBounds {
 public:
  std::string Apply(const std::string& line) {
    if (line.find("png") == std::string::npos && line.find("run") == std::string::npos &&
        line.find("logPath") == std::string::npos && line.find("\\u") == std::string::npos) {
      return line;
    }
    Json value = Json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object()) return line;
    const bool path = BoundPath(value);
    const bool log = BoundLogPath(value);
    const bool run = BoundRun(value);
    return path || log || run ? pphost::DumpLine(value) : line;
  }

 private:
  static bool BoundLogPath(Json& value) {
    if (!value.contains("msg") || !value["msg"].is_object()) return false;
    Json& msg = value["msg"];
    if (!msg.contains("data") || !msg["data"].is_object()) return false;
    Json& data = msg["data"];
    if (!data.contains("logPath") || !data["logPath"].is_string() || data["logPath"] == "fuzz-log") return false;
    data["logPath"] = "fuzz-log";
    return true;
  }

  static bool BoundPath(Json& value) {
    if (!value.contains("png") || !value["png"].is_string()) return false;
    value["png"] = "fuzz-picture.png";
    return true;
  }

  bool BoundRun(Json& value) {
    if (value.value("op", Json()) != "run" || !value.contains("ms") || !value["ms"].is_number()) return false;
    const double ms = value["ms"].get<double>();
    if (!(ms >= 0 && ms <= kLongestRunMs)) return false;
    const double served = std::min(ms, leftMs_);
    leftMs_ -= served;
    if (served == ms) return false;
    value["ms"] = served;
    return true;
  }

  double leftMs_ = kRunBudgetMs;
};

tallwick_fuzz::FuzzHost& TheHost() {
  static tallwick_fuzz::FuzzHost* host =
      new tallwick_fuzz::FuzzHost({&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule},
                                  [] { TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance(); });
  return *host;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  TheHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tallwick_fuzz::FuzzHost& host = TheHost();
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  LineBounds bounds;
  for (std::string line; std::getline(lines, line);) host.Execute(bounds.Apply(line));
  host.EndInput();
  return 0;
}
