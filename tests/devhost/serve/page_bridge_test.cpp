// Browser tabs joined to one Host through the bridge: each tab is a page of
// its own, asks only what a page may, and is sent one picture at a time.
#include "devhost/serve/page_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "devhost/fake_commands.h"
#include "devhost/fake_plugin.h"
#include "devhost/scripted_host.h"
#include "devhost/serve/tab_link.h"

namespace pphost::serve {
namespace {

using devhost_test::Rgba;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// A tab's connection that keeps what it is sent.
class RecordingTab : public TabLink {
 public:
  void SendText(std::string text) override { lines.push_back(Json::parse(text)); }
  void SendBinary(std::vector<uint8_t> bytes) override { frames.push_back(std::move(bytes)); }

  // The lines sent since the last call.
  std::vector<Json> Take() { return std::exchange(lines, {}); }

  std::vector<Json> lines;
  std::vector<std::vector<uint8_t>> frames;
};

// A frame message taken apart.
struct Frame {
  Json header;
  std::vector<uint8_t> picture;
};

Frame Parse(const std::vector<uint8_t>& message) {
  EXPECT_GE(message.size(), 4u);
  if (message.size() < 4) return {};
  const uint32_t length = message[0] | (message[1] << 8) | (message[2] << 16) | (uint32_t{message[3]} << 24);
  EXPECT_LE(4 + length, message.size());
  if (4 + length > message.size()) return {};
  const auto headerEnd = message.begin() + 4 + length;
  return {Json::parse(message.begin() + 4, headerEnd), std::vector<uint8_t>(headerEnd, message.end())};
}

std::string Request(const char* op, const std::string& id, const Json& fields = Json::object()) {
  Json request{{"op", op}, {"id", id}};
  request.update(fields);
  return request.dump();
}

// The fake plug-in's command `command` as a tab's `message`.
std::string Command(const std::string& id, const char* command, const Json& fields = Json::object()) {
  Json msg{{"command", command}};
  msg.update(fields);
  return Request("message", id, {{"msg", msg}});
}

std::vector<std::string> Kinds(const std::vector<Json>& lines) {
  std::vector<std::string> kinds;
  kinds.reserve(lines.size());
  for (const Json& line : lines) kinds.push_back(line.at("kind"));
  return kinds;
}

std::vector<Json> Echoes(const std::vector<Json>& lines) {
  std::vector<Json> echoes;
  for (const Json& line : lines) {
    if (line.at("kind") == "post" && line.at("msg").value("command", "") == "ECHO") echoes.push_back(line);
  }
  return echoes;
}

// The fake plug-in in an in-process Host on the virtual clock that writes a
// `present` line for every swap, bridged to tabs that record what they get.
class PageBridgeTest : public ::testing::Test {
 protected:
  PageBridgeTest() : PageBridgeTest(FrameEncoding::kRaw) {}
  explicit PageBridgeTest(FrameEncoding encoding, bool fitToView = true)
      : bridge_(FrameEncoder(encoding, 85), fitToView), host_(Options(), bridge_.Sink()) {
    bridge_.Attach(&host_);
    EXPECT_TRUE(host_.Load(fake_plugin::EntryPoints()));
  }

  static HostOptions Options() {
    HostOptions options = devhost_test::VirtualClock();
    options.tracePresent = true;
    return options;
  }

  void Send(int tab, const std::vector<std::string>& requests) {
    for (const std::string& request : requests) bridge_.FromTab(tab, request);
  }

  // `id` in `tab` with an 8x4 context of its own, bound, that has presented
  // `swaps` red pictures.
  void Presenting(int tab, const std::string& id, int swaps) {
    Send(tab, {Request("create", id), Command(id, "CONTEXT", {{"width", 8}, {"height", 4}}), Command(id, "BIND"),
               Command(id, "FILL", Rgba(1, 0, 0))});
    Swap(tab, id, swaps);
  }

  void Swap(int tab, const std::string& id, int swaps) {
    for (int i = 0; i < swaps; ++i) {
      Send(tab, {Command(id, "SWAP")});
      host_.Run(1);
    }
  }

  // Declared first so that they outlive the Host, which writes its last
  // lines (instances going at shutdown) on its way out.
  RecordingTab first_;
  RecordingTab second_;
  PageBridge bridge_;
  Host host_;
};

TEST_F(PageBridgeTest, TabsUsingTheSameIdGetInstancesOfTheirOwnAndOnlyTheirOwnLines) {
  const int a = bridge_.OpenTab(&first_);
  const int b = bridge_.OpenTab(&second_);
  Send(a, {Request("create", "speaker")});
  Send(b, {Request("create", "speaker")});
  const std::vector<Json> createdA = first_.Take();
  const std::vector<Json> createdB = second_.Take();
  ASSERT_THAT(Kinds(createdA), ElementsAre("post", "created"));  // the fake posts CREATED from DidCreate
  ASSERT_THAT(Kinds(createdB), ElementsAre("post", "created"));
  EXPECT_NE(createdA[1].at("instance"), createdB[1].at("instance"));

  Send(a, {Command("speaker", "ECHO", {{"from", "a"}})});
  Send(b, {Command("speaker", "ECHO", {{"from", "b"}})});
  const std::vector<Json> linesA = first_.Take();
  const std::vector<Json> linesB = second_.Take();
  ASSERT_THAT(Echoes(linesA), SizeIs(1));
  ASSERT_THAT(Echoes(linesB), SizeIs(1));
  EXPECT_EQ(Echoes(linesA)[0].at("msg").at("from"), "a");
  EXPECT_EQ(Echoes(linesB)[0].at("msg").at("from"), "b");

  // Every line names the element as its tab calls it, and nothing of the
  // Host's own numbering comes through.
  for (const std::vector<Json>* lines : {&createdA, &createdB, &linesA, &linesB}) {
    for (const Json& line : *lines) {
      EXPECT_EQ(line.at("id"), "speaker") << line.dump();
      EXPECT_FALSE(line.contains("seq")) << line.dump();
    }
  }
}

TEST_F(PageBridgeTest, ATabCannotReachAnotherTabsElementByItsHostName) {
  const int a = bridge_.OpenTab(&first_);
  const int b = bridge_.OpenTab(&second_);
  Send(b, {Request("create", "speaker")});
  second_.Take();
  Send(a, {Command(std::to_string(b) + "/speaker", "ECHO"), Request("destroy", std::to_string(b) + "/speaker")});
  EXPECT_THAT(Kinds(first_.Take()), ElementsAre("error", "error"));
  EXPECT_THAT(second_.lines, IsEmpty());
  Send(b, {Command("speaker", "ECHO")});
  EXPECT_THAT(Echoes(second_.Take()), SizeIs(1));  // still there
}

TEST_F(PageBridgeTest, OpsThatBelongToWhoeverDrivesTheHostAreRefusedAndDoNothing) {
  const int a = bridge_.OpenTab(&first_);
  bridge_.OpenTab(&second_);
  Send(a, {Request("create", "speaker"), Command("speaker", "ECHO")});
  const Json before = Echoes(first_.Take()).at(0).at("t");
  const std::filesystem::path png = std::filesystem::temp_directory_path() / "pphost_bridge_refused.png";
  std::filesystem::remove(png);

  const std::vector<std::string> refused = {
      R"({"op":"run","ms":5000})",
      R"({"op":"run","id":"speaker","ms":5000})",
      R"({"op":"shutdown"})",
      Request("snapshot", "speaker", {{"png", png.string()}}),
      Request("pixels", "speaker", {{"points", Json::array({Json::array({0, 0})})}}),
      Request("contextlost", "speaker"),
      R"({"op":"clock","wall_ms":0})",
      R"({"op":"cursor-refuse","refuse":true})",
      R"({"op":"page","id":"speaker"})",
  };
  for (const std::string& request : refused) {
    bridge_.FromTab(a, request);
    const std::vector<Json> lines = first_.Take();
    EXPECT_THAT(Kinds(lines), ElementsAre("error")) << request;
  }
  EXPECT_THAT(second_.lines, IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(png));

  // The instance is alive, the clock did not move, the cursor still works.
  Send(a, {Command("speaker", "ECHO"), Command("speaker", "CURSOR", {{"type", 0}})});
  const std::vector<Json> after = first_.Take();
  ASSERT_THAT(Echoes(after), SizeIs(1));
  EXPECT_EQ(Echoes(after)[0].at("t"), before);
  EXPECT_EQ(devhost_test::Replies(after, "CURSOR").at(0).at("ok"), true);
}

TEST_F(PageBridgeTest, MalformedRequestsAndTheHostsRefusalsGoAsAnErrorToTheirTabOnly) {
  const int a = bridge_.OpenTab(&first_);
  bridge_.OpenTab(&second_);
  for (const char* request :
       {"", "not json", "[1,2]", "\"create\"", "{}", R"({"op":5,"id":"x"})", R"({"id":"x"})", R"({"op":"create"})",
        R"({"op":"create","id":7})", R"({"op":"message","id":null,"msg":1})", R"({"op":"create","id":["x"]})"}) {
    bridge_.FromTab(a, request);
    const std::vector<Json> lines = first_.Take();
    EXPECT_THAT(Kinds(lines), ElementsAre("error")) << request;
  }
  // What the Host itself refuses names no instance; it goes to the tab that asked.
  Send(a, {Command("ghost", "ECHO"), Request("create", "speaker"), Request("create", "speaker")});
  const std::vector<Json> lines = first_.Take();
  EXPECT_THAT(Kinds(lines), ElementsAre("error", "post", "created", "error"));
  for (const Json& line : lines) EXPECT_FALSE(line.contains("seq")) << line.dump();
  EXPECT_THAT(second_.lines, IsEmpty());
}

TEST_F(PageBridgeTest, ClosingATabDestroysItsInstancesOnlyAndSilencesIt) {
  const int b = bridge_.OpenTab(&second_);
  Presenting(b, "speaker", 1);
  const LiveCounts withB = host_.Live();
  const int a = bridge_.OpenTab(&first_);
  Send(a, {Request("create", "other"), Request("view", "other", {{"rect", {0, 0, 10, 10}}})});
  Presenting(a, "speaker", 1);
  EXPECT_GT(host_.Live().resources, withB.resources);
  first_.Take();
  const size_t framesBefore = first_.frames.size();

  bridge_.CloseTab(a);
  EXPECT_THAT(first_.lines, IsEmpty());  // not even the DESTROYED its instances post as they go
  EXPECT_EQ(host_.Live().vars, withB.vars);
  EXPECT_EQ(host_.Live().resources, withB.resources);
  EXPECT_EQ(host_.Live().contexts, withB.contexts);
  EXPECT_THAT(fake_plugin::Seen().destroyed, SizeIs(2));
  EXPECT_EQ(bridge_.Status().at("tabs"), 1);
  EXPECT_EQ(bridge_.Status().at("elements"), 1);

  // Whatever still arrives from the closed tab does nothing and is answered with nothing.
  Send(a, {Request("create", "late"), Command("speaker", "ECHO"), R"({"op":"drawn","id":"speaker"})", "junk"});
  bridge_.SendFrames();
  EXPECT_THAT(first_.lines, IsEmpty());
  EXPECT_EQ(first_.frames.size(), framesBefore);
  EXPECT_FALSE(host_.LastPresented(std::to_string(a) + "/late").has_value());  // no instance was made

  second_.Take();
  Send(b, {Command("speaker", "ECHO")});
  EXPECT_THAT(Echoes(second_.Take()), SizeIs(1));
}

TEST_F(PageBridgeTest, AFrameGoesOutOnlyOnceTheLastWasDrawnAndCarriesTheNewestSwap) {
  const int a = bridge_.OpenTab(&first_);
  Presenting(a, "speaker", 1);
  bridge_.SendFrames();
  ASSERT_THAT(first_.frames, SizeIs(1));
  Frame frame = Parse(first_.frames[0]);
  EXPECT_TRUE(frame.header.at("sent").is_number());
  frame.header.erase("sent");
  EXPECT_EQ(frame.header, Json::parse(R"({"id":"speaker","width":8,"height":4,"encoding":"rgba","n":1})"));
  ASSERT_EQ(frame.picture.size(), 8u * 4u * 4u);
  EXPECT_THAT(std::vector<int>(frame.picture.begin(), frame.picture.begin() + 4), ElementsAre(255, 0, 0, 255));
  EXPECT_THAT(std::vector<int>(frame.picture.end() - 4, frame.picture.end()), ElementsAre(255, 0, 0, 255));

  for (int i = 0; i < 3; ++i) {
    Swap(a, "speaker", 1);
    bridge_.SendFrames();
  }
  Send(a, {R"({"op":"drawn","id":"ghost"})", R"({"op":"drawn"})", R"({"op":"drawn","id":1})"});
  bridge_.SendFrames();
  EXPECT_THAT(first_.frames, SizeIs(1));

  Send(a, {R"({"op":"drawn","id":"speaker"})"});
  bridge_.SendFrames();
  bridge_.SendFrames();
  ASSERT_THAT(first_.frames, SizeIs(2));
  EXPECT_EQ(Parse(first_.frames[1]).header.at("n"), 4);

  // Drawn with nothing new presented since: nothing to send.
  Send(a, {R"({"op":"drawn","id":"speaker"})"});
  bridge_.SendFrames();
  EXPECT_THAT(first_.frames, SizeIs(2));
  EXPECT_THAT(Kinds(first_.lines), ::testing::Each(::testing::Ne("error")));
}

TEST_F(PageBridgeTest, EachTabDrawsAtItsOwnPace) {
  const int a = bridge_.OpenTab(&first_);
  const int b = bridge_.OpenTab(&second_);
  Presenting(a, "speaker", 1);
  Presenting(b, "speaker", 1);
  bridge_.SendFrames();
  Send(b, {R"({"op":"drawn","id":"speaker"})"});
  Swap(a, "speaker", 1);
  Swap(b, "speaker", 1);
  bridge_.SendFrames();
  EXPECT_THAT(first_.frames, SizeIs(1));
  ASSERT_THAT(second_.frames, SizeIs(2));
  EXPECT_EQ(Parse(second_.frames[1]).header.at("id"), "speaker");
  EXPECT_EQ(Parse(second_.frames[1]).header.at("n"), 2);
}

// Scaled to the element's last view times its scale, never enlarged; what
// is smaller than the view on an axis keeps that axis.
TEST_F(PageBridgeTest, APictureLargerThanItsElementGoesOutScaledDownToItsView) {
  const int a = bridge_.OpenTab(&first_);
  Presenting(a, "speaker", 1);
  auto sizeAfter = [&](const std::string& view) {
    Send(a, {view});
    Swap(a, "speaker", 1);
    bridge_.SendFrames();
    const Frame frame = Parse(first_.frames.back());
    Send(a, {R"({"op":"drawn","id":"speaker"})"});
    EXPECT_EQ(frame.picture.size(),
              frame.header.at("width").get<size_t>() * frame.header.at("height").get<size_t>() * 4);
    return std::vector<int>{frame.header.at("width"), frame.header.at("height")};
  };
  EXPECT_THAT(sizeAfter(R"({"op":"view","id":"speaker","rect":[0,0,4,2]})"), ElementsAre(4, 2));
  // A view the Host refused leaves the last one in force.
  EXPECT_THAT(sizeAfter(R"({"op":"view","id":"speaker","rect":[0,0]})"), ElementsAre(4, 2));
  EXPECT_THAT(Kinds(first_.lines), ::testing::Contains("error"));
  EXPECT_THAT(sizeAfter(R"({"op":"view","id":"speaker","rect":[0,0,2,1],"scale":2.0})"), ElementsAre(4, 2));
  EXPECT_THAT(sizeAfter(R"({"op":"view","id":"speaker","rect":[0,0,100,2]})"), ElementsAre(8, 2));
  EXPECT_THAT(sizeAfter(R"({"op":"view","id":"speaker","rect":[0,0,16,16]})"), ElementsAre(8, 4));
}

class FullSizePageBridgeTest : public PageBridgeTest {
 protected:
  FullSizePageBridgeTest() : PageBridgeTest(FrameEncoding::kRaw, false) {}
};

TEST_F(FullSizePageBridgeTest, WithoutFittingAPictureGoesOutAsPresented) {
  const int a = bridge_.OpenTab(&first_);
  Presenting(a, "speaker", 1);
  Send(a, {R"({"op":"view","id":"speaker","rect":[0,0,4,2]})"});
  Swap(a, "speaker", 1);
  bridge_.SendFrames();
  ASSERT_THAT(first_.frames, SizeIs(1));
  const Frame frame = Parse(first_.frames[0]);
  EXPECT_EQ(frame.header.at("width"), 8);
  EXPECT_EQ(frame.header.at("height"), 4);
}

class JpegPageBridgeTest : public PageBridgeTest {
 protected:
  JpegPageBridgeTest() : PageBridgeTest(FrameEncoding::kJpeg) {}
};

TEST_F(JpegPageBridgeTest, AJpegFrameSaysSoAndHoldsAJpegPicture) {
  const int a = bridge_.OpenTab(&first_);
  Presenting(a, "speaker", 1);
  bridge_.SendFrames();
  ASSERT_THAT(first_.frames, SizeIs(1));
  const Frame frame = Parse(first_.frames[0]);
  EXPECT_EQ(frame.header.at("encoding"), "jpeg");
  ASSERT_GE(frame.picture.size(), 4u);
  EXPECT_THAT(std::vector<int>(frame.picture.begin(), frame.picture.begin() + 2), ElementsAre(0xFF, 0xD8));
  EXPECT_THAT(std::vector<int>(frame.picture.end() - 2, frame.picture.end()), ElementsAre(0xFF, 0xD9));
}

}  // namespace
}  // namespace pphost::serve
