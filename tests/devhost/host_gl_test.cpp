// 3D contexts through pphost: drawing, swaps through the main loop, the
// presented image (snapshot, pixels), strict OpenGL ES 2.0, resizing,
// context loss, binding and leaks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devhost/fake_commands.h"
#include "devhost/scripted_host.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kInvalidEnum = 0x0500;
constexpr int kContextLost = 0x0507;
constexpr int kFramebufferComplete = 0x8CD5;

std::string Pixels(const std::string& points) { return R"({"op":"pixels","id":"a","points":)" + points + "}"; }

int Reply(const std::vector<Json>& out, const std::string& command, const char* key) {
  const std::vector<Json> replies = Replies(out, command);
  EXPECT_EQ(replies.size(), 1u) << command;
  return replies.empty() ? -9999 : replies[0].at(key).get<int>();
}

Json Values(const std::vector<Json>& out) {
  const std::vector<Json> lines = OfKind(out, "pixels");
  return lines.size() == 1 ? lines[0].at("values") : Json();
}

// Instance "a" with an 8x4 context (no alpha), bound.
std::unique_ptr<ScriptedHost> GlHost(const pphost::HostOptions& options = VirtualClock()) {
  auto host = std::make_unique<ScriptedHost>(options);
  const std::vector<Json> out = host->Execute(
      {R"({"op":"create","id":"a"})", Command("a", "CONTEXT", {{"width", 8}, {"height", 4}}), Command("a", "BIND")});
  EXPECT_EQ(Replies(out, "CONTEXT").at(0), Json::parse(R"({"command":"CONTEXT","ok":true,"is3d":true})"));
  EXPECT_EQ(Reply(out, "BIND", "ok"), 1);
  return host;
}

TEST(PphostGl, SnapshotWritesTheLastPresentedImageAsAPng) {
  const std::string path = (std::filesystem::temp_directory_path() / "pphost_gl_snapshot.png").string();
  std::filesystem::remove(path);
  auto host = GlHost();
  const std::string snapshot = R"({"op":"snapshot","id":"a","png":")" + path + R"("})";
  EXPECT_THAT(Errors(host->Execute({snapshot})), ElementsAre(R"(snapshot: "a" has presented no image yet)"));
  const std::vector<Json> out =
      host->Execute({Fill("a", Rgba(1, 0.5, 0)), Command("a", "SWAP"), R"({"op":"run","ms":0})", snapshot});
  ASSERT_EQ(OfKind(out, "snapshot").size(), 1u);
  EXPECT_EQ(OfKind(out, "snapshot")[0],
            (Json{{"kind", "snapshot"}, {"id", "a"}, {"width", 8}, {"height", 4}, {"path", path}}));
  const PngFile png = ReadPng(path);
  EXPECT_EQ(png.width, 8);
  EXPECT_EQ(png.height, 4);
  ASSERT_EQ(png.rgba.size(), 8u * 4u * 4u);
  EXPECT_THAT(std::vector<int>(png.rgba.begin(), png.rgba.begin() + 4), ElementsAre(255, 128, 0, 255));
  std::filesystem::remove(path);
  EXPECT_THAT(Errors(host->Execute({R"({"op":"snapshot","id":"a","png":"/nonexistent/folder/a.png"})"})),
              ElementsAre(::testing::StartsWith("snapshot: cannot write /nonexistent/folder/a.png: ")));
}

TEST(PphostGl, AContextWithAlphaAndDepthKeepsItsAlphaAndReplacesTheBoundOne) {
  auto host = GlHost();
  const std::vector<Json> out =
      host->Execute({Command("a", "CONTEXT", {{"width", 2}, {"height", 2}, {"alpha", true}, {"depth", true}}),
                     Command("a", "BIND"), Fill("a", Rgba(1, 0, 0, 0.6)), Command("a", "QUAD", Rgba(0, 1, 0, 0.2)),
                     Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[1,1]]")});
  EXPECT_EQ(Reply(out, "BIND", "ok"), 1);
  EXPECT_EQ(Reply(out, "QUAD", "error"), 0);
  EXPECT_EQ(Values(out), Json::parse("[[0,255,0,51]]"));
  EXPECT_EQ(host->Host().LastPresented("a")->image.width, 2);
  // The first context went once the second took its place.
  EXPECT_EQ(OfKind(host->Execute({R"({"op":"shutdown"})"}), "shutdown").at(0).at("live_resources"), 0);
}

TEST(PphostGl, PixelsReadFromTheTopAndTheBufferKeepsItsContentAcrossSwaps) {
  auto host = GlHost();
  // Red everywhere, then green in GL's bottom-left quarter: rows 2 and 3 from the top.
  host->Execute({Fill("a", Rgba(1, 0, 0)), Fill("a", Json{{"g", 1}, {"a", 1}, {"x", 0}, {"y", 0}, {"w", 4}, {"h", 2}}),
                 Command("a", "SWAP"), R"({"op":"run","ms":0})"});
  const std::vector<Json> out =
      host->Execute({Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[0,0],[7,0],[0,3],[3,2],[4,3],[7,3]]")});
  EXPECT_EQ(Values(out), Json::parse("[[255,0,0,255],[255,0,0,255],[0,255,0,255],[0,255,0,255],"
                                     "[255,0,0,255],[255,0,0,255]]"));
  EXPECT_THAT(OfKind(out, "present"), IsEmpty());  // only with --trace-present
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 2);

  const std::vector<Json> bad = host->Execute({Pixels("[[0,0],[8,0]]"), Pixels("[[0,-1]]"), Pixels("[0,0]")});
  EXPECT_THAT(Errors(bad),
              ElementsAre("pixels: point [8,0] is outside the 8x4 image",
                          "pixels: point [0,-1] is outside the 8x4 image", "pixels: each point must be [x, y], not 0"));
  EXPECT_THAT(OfKind(bad, "pixels"), IsEmpty());
}

TEST(PphostGl, ShadersDrawAndFramebufferZeroIsTheDrawingBuffer) {
  auto host = GlHost();
  std::vector<Json> out = host->Execute(
      {Command("a", "QUAD", Rgba(0, 0, 1)), Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[0,0],[7,3]]")});
  EXPECT_EQ(Replies(out, "QUAD").at(0), Json::parse(R"({"command":"QUAD","linked":1,"error":0})"));
  EXPECT_EQ(Values(out), Json::parse("[[0,0,255,255],[0,0,255,255]]"));

  // The module's own framebuffer reads as itself; binding 0 reads back as 0
  // and draws where the page sees it.
  out = host->Execute({Command("a", "FBO"), Fill("a", Rgba(1, 1, 0)), Command("a", "SWAP"), R"({"op":"run","ms":0})",
                       Pixels("[[3,1]]")});
  EXPECT_EQ(Replies(out, "FBO").at(0), Json::parse(R"({"command":"FBO","own":true,"zero":0})"));
  EXPECT_EQ(Values(out), Json::parse("[[255,255,0,255]]"));
}

TEST(PphostGl, ASwapCompletesThroughTheMainLoopAndOneAtATime) {
  auto host = GlHost();
  host->Execute({R"({"op":"run","ms":7})", Fill("a", Rgba(0, 1, 0))});
  std::vector<Json> out = host->Execute({Command("a", "SWAP"), Command("a", "SWAP")});
  EXPECT_THAT(PostedCommands(out), ElementsAre("SWAP", "SWAP"));
  EXPECT_EQ(Posted(out)[0].at("result"), -1);   // PP_OK_COMPLETIONPENDING
  EXPECT_EQ(Posted(out)[1].at("result"), -11);  // PP_ERROR_INPROGRESS
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 0);

  out = host->Execute({R"({"op":"run","ms":0})"});
  ASSERT_EQ(Replies(out, "SWAPPED").size(), 1u);
  EXPECT_EQ(Replies(out, "SWAPPED")[0].at("result"), 0);
  EXPECT_EQ(OfKind(out, "post")[0].at("t"), 7);
  const std::optional<pphost::Presentation> shown = host->Host().LastPresented("a");
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->swaps, 1);
  EXPECT_EQ(shown->image.width, 8);
  EXPECT_EQ(shown->image.height, 4);
  EXPECT_THAT(std::vector<int>(shown->image.rgba.begin(), shown->image.rgba.begin() + 4), ElementsAre(0, 255, 0, 255));
  EXPECT_EQ(Reply(host->Execute({Command("a", "SWAP")}), "SWAP", "result"), -1);  // free again
  EXPECT_FALSE(host->Host().LastPresented("nobody").has_value());
}

// The page sees what the buffer held when the module swapped, not what it
// drew while the swap was in flight, and not what a context it no longer
// shows goes on presenting.
TEST(PphostGl, ThePageSeesTheBufferAsItWasAtTheSwapAndKeepsItWhenUnbound) {
  auto host = GlHost();
  std::vector<Json> out = host->Execute({Fill("a", Rgba(1, 0, 0)), Command("a", "SWAP"), Fill("a", Rgba(0, 1, 0)),
                                         R"({"op":"run","ms":0})", Pixels("[[0,0]]")});
  EXPECT_EQ(Values(out), Json::parse("[[255,0,0,255]]"));
  out = host->Execute({Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[0,0]]")});
  EXPECT_EQ(Values(out), Json::parse("[[0,255,0,255]]"));

  // A resize after the swap leaves the shown picture as it was.
  out = host->Execute({Command("a", "RESIZE", {{"width", 2}, {"height", 2}}), Pixels("[[7,3]]")});
  EXPECT_EQ(Values(out), Json::parse("[[0,255,0,255]]"));

  out = host->Execute({Command("a", "BIND", {{"none", true}}), Fill("a", Rgba(0, 0, 1)), Command("a", "SWAP"),
                       R"({"op":"run","ms":0})", Pixels("[[0,0],[7,3]]")});
  EXPECT_EQ(Reply(out, "SWAPPED", "result"), 0);
  EXPECT_EQ(Values(out), Json::parse("[[0,255,0,255],[0,255,0,255]]"));
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 2);

  // Bound again, its next swap shows at the new size.
  out = host->Execute({Command("a", "BIND"), Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[1,1]]")});
  EXPECT_EQ(Values(out), Json::parse("[[0,0,255,255]]"));
  EXPECT_EQ(host->Host().LastPresented("a")->image.width, 2);
}

// A caller in process can read a part of the picture alone: clipped to the
// picture, rows from the top, the same bytes whether or not the whole was
// read before.
TEST(PphostGl, ARegionOfThePresentedPictureIsReadOnItsOwnAndClipped) {
  auto host = GlHost();
  EXPECT_FALSE(host->Host().PresentedRegion("a", PP_MakeRectFromXYWH(0, 0, 1, 1)).has_value());
  host->Execute({Fill("a", Rgba(1, 0, 0)), Fill("a", Json{{"g", 1}, {"a", 1}, {"x", 0}, {"y", 0}, {"w", 8}, {"h", 1}}),
                 Command("a", "SWAP"), R"({"op":"run","ms":0})"});
  const auto bottomRow = [&host] { return host->Host().PresentedRegion("a", PP_MakeRectFromXYWH(-2, 3, 100, 5)); };
  const std::optional<pphost::PresentedImage> alone = bottomRow();
  ASSERT_TRUE(alone.has_value());
  EXPECT_EQ(alone->width, 8);
  EXPECT_EQ(alone->height, 1);
  EXPECT_THAT(std::vector<int>(alone->rgba.begin(), alone->rgba.begin() + 4), ElementsAre(0, 255, 0, 255));
  ASSERT_TRUE(host->Host().LastPresented("a").has_value());  // the whole picture, read once
  EXPECT_EQ(bottomRow()->rgba, alone->rgba);
  EXPECT_EQ(host->Host().PresentedRegion("a", PP_MakeRectFromXYWH(9, 0, 2, 2))->width, 0);
  EXPECT_FALSE(host->Host().PresentedRegion("nobody", PP_MakeRectFromXYWH(0, 0, 1, 1)).has_value());
}

TEST(PphostGl, TracePresentWritesALineForEachCompletedSwapOfABoundContext) {
  pphost::HostOptions options = VirtualClock();
  options.tracePresent = true;
  auto host = GlHost(options);
  std::vector<Json> out = host->Execute({R"({"op":"run","ms":5})", Command("a", "SWAP"), R"({"op":"run","ms":1})",
                                         Command("a", "SWAP"), R"({"op":"run","ms":1})"});
  std::vector<std::string> lines;
  for (const Json& line : OfKind(out, "present")) lines.push_back(line.dump());
  EXPECT_THAT(lines, ElementsAre(R"({"kind":"present","t":5,"id":"a","width":8,"height":4,"n":1})",
                                 R"({"kind":"present","t":6,"id":"a","width":8,"height":4,"n":2})"));

  // Unbound, a swap still completes but presents nothing.
  out = host->Execute({Command("a", "BIND", {{"none", true}}), Command("a", "SWAP"), R"({"op":"run","ms":1})"});
  EXPECT_EQ(Reply(out, "SWAPPED", "result"), 0);
  EXPECT_THAT(OfKind(out, "present"), IsEmpty());
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 2);
}

TEST(PphostGl, StrictEs2RefusesRedUploadsWithInvalidEnumAndTheDefaultAcceptsThem) {
  const std::vector<std::string> uploads = {Command("a", "RED"), Command("a", "RED", {{"sub", true}}),
                                            Command("a", "ERRORS")};
  {
    pphost::HostOptions options = VirtualClock();
    options.gl = pphost::GlMode::kStrictEs2;
    auto host = GlHost(options);
    const std::vector<Json> out = host->Execute(uploads);
    const std::vector<Json> red = Replies(out, "RED");
    ASSERT_EQ(red.size(), 2u);
    EXPECT_EQ(red[0].at("error"), kInvalidEnum);
    EXPECT_EQ(red[1].at("error"), kInvalidEnum);
    EXPECT_EQ(Reply(out, "ERRORS", "gl"), 0);  // each refusal is reported once
  }
  auto host = GlHost();
  const std::vector<Json> out = host->Execute(uploads);
  const std::vector<Json> red = Replies(out, "RED");
  ASSERT_EQ(red.size(), 2u);
  EXPECT_EQ(red[0].at("error"), 0);
  EXPECT_EQ(red[1].at("error"), 0);
}

// The hook runs inside every glTexImage2D that reaches GL, none that the
// host refuses and no glTexSubImage2D, and it may clear itself.
TEST(PphostGl, TheUploadHookRunsForEveryTexImageThatReachesGl) {
  const std::string upload = Command("a", "RED", {{"sub", true}});  // a TexImage2D, then a TexSubImage2D
  int runs = 0;
  {
    pphost::HostOptions options = VirtualClock();
    options.gl = pphost::GlMode::kStrictEs2;
    auto host = GlHost(options);
    host->Host().SetBeforeUpload([&runs] { ++runs; });
    host->Execute({upload});
    EXPECT_EQ(runs, 0) << "refused uploads run nothing";
  }
  auto host = GlHost();
  host->Host().SetBeforeUpload([&runs] { ++runs; });
  host->Execute({upload, upload});
  EXPECT_EQ(runs, 2);
  host->Host().SetBeforeUpload([&runs, &host] {
    ++runs;
    host->Host().SetBeforeUpload({});
  });
  host->Execute({upload, upload});
  EXPECT_EQ(runs, 3) << "a hook that cleared itself ran once";
}

TEST(PphostGl, ResizeBuffersChangesTheImageSizeAndRefusesBadSizes) {
  auto host = GlHost();
  std::vector<Json> out =
      host->Execute({Fill("a", Rgba(1, 1, 1)), Command("a", "RESIZE", {{"width", 5}, {"height", 3}}),
                     Command("a", "RESIZE", {{"width", -1}, {"height", 3}}),
                     Command("a", "RESIZE", {{"width", 5}, {"height", 100000}})});
  std::vector<int> results;
  for (const Json& reply : Replies(out, "RESIZE")) results.push_back(reply.at("result").get<int>());
  EXPECT_THAT(results, ElementsAre(0, -4, -4));  // PP_ERROR_BADARGUMENT
  out = host->Execute({Command("a", "SWAP"), R"({"op":"run","ms":0})",
                       R"({"op":"snapshot","id":"a","png":"/dev/null"})", Pixels("[[4,2],[0,0]]"), Pixels("[[5,0]]")});
  EXPECT_EQ(OfKind(out, "snapshot").at(0).at("width"), 5);
  EXPECT_EQ(OfKind(out, "snapshot").at(0).at("height"), 3);
  // New storage starts cleared; without an alpha channel it reads opaque.
  EXPECT_EQ(Values(out), Json::parse("[[0,0,0,255],[0,0,0,255]]"));
  EXPECT_THAT(Errors(out), ElementsAre("pixels: point [5,0] is outside the 5x3 image"));
}

TEST(PphostGl, ALostContextRefusesSwapsAndResizesAndTellsTheModule) {
  auto host = GlHost();
  host->Execute({Fill("a", Rgba(0, 0, 1)), Command("a", "SWAP"), R"({"op":"run","ms":0})", Command("a", "SWAP")});
  std::vector<Json> out = host->Execute({R"({"op":"contextlost","id":"a"})", R"({"op":"run","ms":0})"});
  EXPECT_THAT(PostedCommands(out), ElementsAre("LOST", "SWAPPED"));
  EXPECT_EQ(Reply(out, "SWAPPED", "result"), -50);  // the swap in flight fails too

  out = host->Execute({Command("a", "SWAP"), Command("a", "RESIZE", {{"width", 4}, {"height", 4}}),
                       Command("a", "ERRORS"), Command("a", "ERRORS"), Fill("a", Rgba(1, 0, 0)), Pixels("[[0,0]]")});
  EXPECT_EQ(Reply(out, "SWAP", "result"), -50);  // PP_ERROR_CONTEXT_LOST
  EXPECT_EQ(Reply(out, "RESIZE", "result"), -50);
  const std::vector<Json> errors = Replies(out, "ERRORS");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], (Json{{"command", "ERRORS"}, {"gl", kContextLost}, {"context", -50}}));
  EXPECT_EQ(errors[1], (Json{{"command", "ERRORS"}, {"gl", 0}, {"context", -50}}));
  EXPECT_EQ(Values(out), Json::parse("[[0,0,255,255]]"));  // what was shown stays
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 1);
}

// A lost or unknown context makes every entry do nothing and answer
// "nothing": 0, GL_FALSE, null, and -1 for a location.
TEST(PphostGl, EntriesOfALostOrUnknownContextAnswerNothing) {
  auto host = GlHost();
  std::vector<Json> out = host->Execute({Command("a", "ANSWERS")});
  const Json live = Replies(out, "ANSWERS").at(0);
  EXPECT_NE(live.at("program"), 0);
  EXPECT_EQ(live.at("status"), kFramebufferComplete);
  EXPECT_EQ(live.at("version"), true);

  const Json nothing = {{"command", "ANSWERS"}, {"program", 0},  {"shader", 0}, {"isTexture", 0},
                        {"attrib", -1},         {"uniform", -1}, {"status", 0}, {"version", false}};
  out = host->Execute({Command("a", "ANSWERS", {{"context", 9999}})});
  EXPECT_EQ(Replies(out, "ANSWERS").at(0), nothing) << "a resource that is no context";
  out = host->Execute({R"({"op":"contextlost","id":"a"})", Command("a", "ANSWERS")});
  EXPECT_EQ(Replies(out, "ANSWERS").at(0), nothing) << "a lost context";
}

TEST(PphostGl, AnInstanceBindsOnlyItsOwnContexts) {
  auto host = GlHost();
  const std::vector<Json> out =
      host->Execute({R"({"op":"create","id":"b"})", Command("b", "CONTEXT", {{"width", 2}, {"height", 2}}),
                     Command("a", "BIND", {{"of", 2}}), Command("b", "BIND", {{"of", 1}}), Command("b", "BIND"),
                     Command("a", "BIND", {{"none", true}})});
  std::vector<std::string> binds;
  for (const Json& line : OfKind(out, "post")) {
    if (line.at("msg").value("command", "") == "BIND")
      binds.push_back(line.at("id").get<std::string>() + line.at("msg").at("ok").dump());
  }
  EXPECT_THAT(binds, ElementsAre("a0", "b0", "b1", "a1"));
}

TEST(PphostGl, ShutdownCountsALeakedContext) {
  auto host = GlHost();
  const std::vector<Json> out = host->Execute(
      {R"({"op":"create","id":"b"})", Command("b", "CONTEXT", {{"width", 2}, {"height", 2}}), Command("b", "BIND"),
       Command("a", "LEAK_CONTEXT"), R"({"op":"destroy","id":"b"})", R"({"op":"shutdown"})"});
  // b's context went with b (the binding's reference too); a's is left.
  EXPECT_EQ(OfKind(out, "shutdown").at(0).dump(), R"({"kind":"shutdown","live_vars":0,"live_resources":1})");
}

}  // namespace
}  // namespace devhost_test

namespace devhost_test {
namespace {

// Instance "a" with a pixel-free 8x4 context, bound, in a host that may
// also make real ones.
std::unique_ptr<ScriptedHost> PixelFreeHost() {
  pphost::HostOptions options = VirtualClock();
  options.pixelFreeGl = true;
  options.tracePresent = true;
  auto host = std::make_unique<ScriptedHost>(options);
  host->Host().SetPixelFree(true);
  host->Execute(
      {R"({"op":"create","id":"a"})", Command("a", "CONTEXT", {{"width", 8}, {"height", 4}}), Command("a", "BIND")});
  return host;
}

// A pixel-free context answers as a GL that accepts everything: names,
// compiled and linked programs, a complete framebuffer; it swaps through
// the main loop but shows no pixels; uploads run the hook.
TEST(PphostPixelFreeGl, AnswersAsAGlThatAcceptsEverythingAndSwapsWithoutPixels) {
  auto host = PixelFreeHost();
  int uploads = 0;
  host->Host().SetBeforeUpload([&uploads] { ++uploads; });
  const std::vector<Json> out =
      host->Execute({Command("a", "ANSWERS"), Command("a", "QUAD", Rgba(0, 0, 1)), Command("a", "RED", {{"sub", true}}),
                     Command("a", "ERRORS"), Command("a", "SWAP"), R"({"op":"run","ms":0})"});
  const Json answers = Replies(out, "ANSWERS").at(0);
  EXPECT_GT(answers.at("program"), 0);
  EXPECT_GT(answers.at("shader"), answers.at("program"));
  EXPECT_EQ(answers.at("attrib"), 0);
  EXPECT_EQ(answers.at("status"), kFramebufferComplete);
  EXPECT_EQ(answers.at("version"), true);
  EXPECT_EQ(Replies(out, "QUAD").at(0), Json::parse(R"({"command":"QUAD","linked":1,"error":0})"));
  EXPECT_EQ(Reply(out, "RED", "error"), 0);
  EXPECT_EQ(Reply(out, "ERRORS", "gl"), 0);
  EXPECT_EQ(uploads, 1) << "the hook runs for the TexImage2D, not the TexSubImage2D";
  ASSERT_EQ(OfKind(out, "present").size(), 1u);
  EXPECT_EQ(host->Host().LastPresented("a")->swaps, 1);
  EXPECT_TRUE(host->Host().LastPresented("a")->image.Empty());
}

// Contexts made after SetPixelFree(false) are real ones again, in the same
// host and instance; a lost pixel-free context answers what a lost real one does.
TEST(PphostPixelFreeGl, TheSwitchTakesEffectForContextsMadeAfterItAndALostOneAnswersNothing) {
  auto host = PixelFreeHost();
  host->Host().SetPixelFree(false);
  std::vector<Json> out =
      host->Execute({Command("a", "CONTEXT", {{"width", 2}, {"height", 2}}), Command("a", "BIND"),
                     Fill("a", Rgba(0, 1, 0)), Command("a", "SWAP"), R"({"op":"run","ms":0})", Pixels("[[1,1]]")});
  EXPECT_EQ(Values(out), Json::parse("[[0,255,0,255]]"));

  host->Host().SetPixelFree(true);
  out = host->Execute({Command("a", "CONTEXT", {{"width", 2}, {"height", 2}}), Command("a", "BIND"),
                       R"({"op":"contextlost","id":"a"})", Command("a", "ERRORS"), Command("a", "ANSWERS")});
  EXPECT_EQ(Reply(out, "ERRORS", "gl"), kContextLost);
  const Json nothing = {{"command", "ANSWERS"}, {"program", 0},  {"shader", 0}, {"isTexture", 0},
                        {"attrib", -1},         {"uniform", -1}, {"status", 0}, {"version", false}};
  EXPECT_EQ(Replies(out, "ANSWERS").at(0), nothing);
}

}  // namespace
}  // namespace devhost_test
