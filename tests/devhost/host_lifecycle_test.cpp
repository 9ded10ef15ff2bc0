// Loading, error lines and exit status, leak reporting at shutdown, the
// browser interfaces offered, and module log lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "devhost/browser/browser_interfaces.h"
#include "devhost/fake_plugin.h"
#include "devhost/scripted_host.h"
#include "tallwick_log.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string Shutdown(ScriptedHost& host) {
  return OfKind(host.Execute({R"({"op":"shutdown"})"}), "shutdown").at(0).dump();
}

TEST(PphostLeaks, ShutdownCountsWhatTheModuleStillHolds) {
  ScriptedHost host;
  host.Execute({
      R"({"op":"create","id":"a"})",
      R"({"op":"message","id":"a","msg":{"command":"KEEP","data":{"deep":["x","y"]}}})",
      R"({"op":"message","id":"a","msg":{"command":"LEAK_STRING"}})",
      R"({"op":"message","id":"a","msg":{"command":"KEEP_VIEW"}})",
      R"({"op":"view","id":"a","rect":[0,0,1,1]})",
      R"({"op":"view","id":"a","rect":[0,0,2,2]})",
  });
  // The kept dictionary counts once, not with what it contains.
  EXPECT_EQ(Shutdown(host), R"({"kind":"shutdown","live_vars":2,"live_resources":1})");
}

TEST(PphostLeaks, WhatTheModuleReleasesIsNotCounted) {
  ScriptedHost host;
  host.Execute({
      R"({"op":"create","id":"a"})",
      R"({"op":"message","id":"a","msg":{"command":"KEEP","data":[1,2,3]}})",
      R"({"op":"message","id":"a","msg":{"command":"KEEP_VIEW"}})",
      R"({"op":"view","id":"a","rect":[0,0,1,1]})",
      R"({"op":"input","id":"a","type":"mousedown"})",
      R"({"op":"message","id":"a","msg":{"command":"RELEASE"}})",
  });
  EXPECT_EQ(Shutdown(host), R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
}

TEST(PphostErrors, EveryBadLineGetsAnErrorAndAnAckAndProcessingGoesOn) {
  ScriptedHost host;
  const std::vector<Json> out = host.Execute({
      R"({"op":"create","id":"a"})",
      R"({"op":"create","id":"a")",
      R"(["op","create"])",
      R"({"id":"a"})",
      R"({"op":"dance"})",
      R"({"op":"view","id":"a"})",
      R"({"op":"view","id":"a","rect":[1,2,3]})",
      R"({"op":"message","id":"zz","msg":1})",
      R"({"op":"destroy","id":"zz"})",
      R"({"op":"run","ms":-1})",
      R"({"op":"snapshot","id":"a","png":"/tmp/x.png"})",
      R"({"op":"pixels","id":"a","points":[[0,0]]})",
      "   ",
      R"({"op":"message","id":"a","msg":"still here"})",
  });
  std::vector<std::string> errors;
  for (const Json& line : OfKind(out, "error")) {
    const std::string text = line.at("text").get<std::string>();
    const bool badJson = text.rfind("bad JSON: ", 0) == 0;  // the parser's own words follow
    errors.push_back(line.at("seq").dump() + " " + (badJson ? "bad JSON:" : text));
  }
  EXPECT_THAT(errors, ElementsAre("2 bad JSON:", "3 an input line must be a JSON object", R"(4 missing field "op")",
                                  R"(5 unknown op "dance")", R"(6 view: missing field "rect")",
                                  R"(7 view: field "rect" must be [x, y, w, h])", R"(8 message: unknown id "zz")",
                                  R"(9 destroy: unknown id "zz")",
                                  R"(10 run: field "ms" must be a number of milliseconds from 0 to 1e12)",
                                  R"(11 snapshot: "a" has presented no image yet)",
                                  R"(12 pixels: "a" has presented no image yet)"));
  std::vector<std::string> acks;
  for (const Json& line : OfKind(out, "ack")) acks.push_back(line.at("seq").dump() + ":" + line.at("op").dump());
  EXPECT_THAT(acks, ElementsAre("1:\"create\"", "2:null", "3:null", "4:null", "5:\"dance\"", "6:\"view\"", "7:\"view\"",
                                "8:\"message\"", "9:\"destroy\"", "10:\"run\"", "11:\"snapshot\"", "12:\"pixels\"",
                                "14:\"message\""));
  EXPECT_EQ(Posted(out).back(), "still here");
  EXPECT_EQ(host.Host().ExitStatus(), 1);
}

// C++ callers may hand over a line they built as a JSON value: it gets the
// same output lines, errors and acks included, as its text would.
TEST(PphostErrors, ALineGivenParsedIsCarriedOutAsItsText) {
  const std::vector<std::string> lines = {
      R"({"op":"create","id":"a"})",
      R"(["op","create"])",
      R"({"id":"a"})",
      R"({"op":"dance"})",
      R"({"op":"view","id":"a"})",
      R"({"op":"message","id":"a","msg":{"command":"ECHO","n":[1,2]}})",
      R"({"op":"destroy","id":"zz"})",
      R"({"op":"message","id":"a","msg":"still here"})",
  };
  std::vector<std::string> asText, asParsed;
  {
    ScriptedHost host;
    host.Execute(lines);
    asText = host.Text();
  }
  ScriptedHost host;
  for (const std::string& line : lines) host.Host().Execute(Json::parse(line));
  asParsed = host.Text();
  EXPECT_EQ(asParsed, asText);
  EXPECT_EQ(host.Host().ExitStatus(), 1);
}

TEST(PphostErrors, ACleanScriptExitsWithZeroAndASecondShutdownIsAnError) {
  ScriptedHost host;
  host.Execute({R"({"op":"create","id":"a"})", R"({"op":"shutdown"})"});
  EXPECT_EQ(host.Host().ExitStatus(), 0);
  const std::vector<Json> out = host.Execute({R"({"op":"shutdown"})", R"({"op":"create","id":"b"})"});
  std::vector<std::string> errors;
  for (const Json& line : OfKind(out, "error")) errors.push_back(line.at("text").get<std::string>());
  EXPECT_THAT(errors,
              ElementsAre("shutdown: the module is already shut down", "create: the module is already shut down"));
  EXPECT_EQ(host.Host().ExitStatus(), 1);
}

TEST(PphostLoad, AModuleThatFailsToStartGivesExitStatusTwo) {
  fake_plugin::SetFailInitialize(true);
  std::vector<std::string> lines;
  pphost::Host host(VirtualClock(), [&](const std::string& line) { lines.push_back(line); });
  EXPECT_FALSE(host.Load(fake_plugin::EntryPoints()));
  fake_plugin::SetFailInitialize(false);
  EXPECT_EQ(host.LoadError(), "PPP_InitializeModule failed with -2");
  EXPECT_EQ(host.ExitStatus(), 2);
  EXPECT_FALSE(host.Execute(R"({"op":"create","id":"a"})"));
  EXPECT_EQ(lines.at(0), R"({"kind":"error","seq":1,"text":"create: no module is loaded"})");
}

TEST(PphostLoad, AMissingLibraryIsALoadError) {
  pphost::Host host(VirtualClock(), nullptr);
  EXPECT_FALSE(host.Load("/nonexistent/libnothing.so"));
  EXPECT_THAT(host.LoadError(), HasSubstr("cannot load module /nonexistent/libnothing.so"));
  EXPECT_EQ(host.ExitStatus(), 2);
}

TEST(PphostLoad, OnlyOneHostLivesAtATime) {
  ScriptedHost first;
  EXPECT_THROW(pphost::Host(VirtualClock(), nullptr), std::logic_error);
}

TEST(PphostInterfaces, OffersTheListedBrowserInterfacesAndNothingElse) {
  for (const char* name : {"PPB_Core;1.0", "PPB_Messaging;1.0", "PPB_Messaging;1.2", "PPB_Var;1.0", "PPB_Var;1.1",
                           "PPB_Var;1.2", "PPB_VarDictionary;1.0", "PPB_VarArray;1.0", "PPB_View;1.0", "PPB_View;1.1",
                           "PPB_View;1.2", "PPB_InputEvent;1.0", "PPB_MouseInputEvent;1.1", "PPB_MouseCursor;1.0",
                           "PPB_Instance;1.0", "PPB_Graphics3D;1.0", "PPB_OpenGLES2;1.0"}) {
    EXPECT_NE(pphost::GetBrowserInterface(name), nullptr) << name;
  }
  for (const char* name : {"PPB_OpenGLES2InstancedArrays;1.0", "PPB_Graphics3D;1.1", "PPB_Core;1.1", "PPB_Core", ""}) {
    EXPECT_EQ(pphost::GetBrowserInterface(name), nullptr) << name;
  }
  EXPECT_EQ(pphost::GetBrowserInterface(nullptr), nullptr);
}

TEST(PphostLog, ModuleLogLinesComeOutWithLog) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "devhost_log_test";
  ASSERT_EQ(CreateTallwickLogger(1, folder.c_str(), "devhost", "", 0, 0, 0, 0), 0);
  const std::string line = R"({"op":"message","id":"a","msg":{"command":"LOG","text":"hello \"there\""}})";
  std::vector<Json> withLog;
  {
    pphost::HostOptions options = VirtualClock();
    options.log = true;
    ScriptedHost host(options);
    withLog = host.Execute({R"({"op":"create","id":"a"})", R"({"op":"run","ms":3})", line});
  }
  std::vector<Json> withoutLog;
  {
    ScriptedHost host;
    withoutLog = host.Execute({R"({"op":"create","id":"a"})", line});
  }
  DestroyTallwickLogger();
  std::filesystem::remove_all(folder);
  ASSERT_EQ(OfKind(withLog, "log").size(), 1u);
  EXPECT_EQ(OfKind(withLog, "log")[0].dump(),
            R"({"kind":"log","t":3,"tag":"FAKE","level":3,"text":"hello \"there\""})");
  EXPECT_TRUE(OfKind(withoutLog, "log").empty());
}

}  // namespace
}  // namespace devhost_test
