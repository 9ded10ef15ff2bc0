#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devhost/scripted_host.h"

namespace module_test {

using devhost_test::Json;

// The module, linked into the test, driven by pphost on its virtual clock,
// with its log lines among the host's output lines.
class ModulePageTest : public ::testing::Test {
 protected:
  ModulePageTest();
  // The module through other entry points (that wrap the module's own).
  explicit ModulePageTest(const pphost::EntryPoints& module);
  ~ModulePageTest() override;

  // Carries out page lines; returns the output lines they produced.
  std::vector<Json> Do(const std::vector<std::string>& lines) { return page_.Execute(lines); }
  // The host itself, for what no page line reports.
  pphost::Host& PageHost() { return page_.Host(); }

  // Turns the module's logging on, as a first "INIT" would.
  void EnableLogging();

  // Page lines.
  static std::string Create(const std::string& id, const std::string& attrsJson = "[]");
  static std::string Message(const std::string& id, const std::string& msgJson);
  static std::string Command(const std::string& id, const std::string& command, const std::string& dataJson = "{}");
  static std::string Run(int ms);
  static std::string Destroy(const std::string& id);

  // Output filters.
  static std::vector<Json> PostsTo(const std::vector<Json>& lines, const std::string& id);
  static std::vector<std::string> CommandsTo(const std::vector<Json>& lines, const std::string& id);
  static std::vector<Json> Replies(const std::vector<Json>& lines);
  static std::vector<std::string> LogTexts(const std::vector<Json>& lines, const std::string& needle = "");
  static std::vector<int64_t> Times(const std::vector<Json>& posts);

 private:
  devhost_test::ScriptedHost page_;
};

}  // namespace module_test
