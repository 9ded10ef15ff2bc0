// Input events reach an instance only for the classes it asked for; cursor
// requests come out as `cursor` lines and can be refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devhost/scripted_host.h"
#include "host/ppapi/ppb_input_event.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;

std::string Request(uint32_t classes, bool filtering) {
  return R"({"op":"message","id":"a","msg":{"command":"REQUEST","classes":)" + std::to_string(classes) +
         R"(,"filtering":)" + (filtering ? "true" : "false") + "}}";
}

class PphostInput : public ::testing::Test {
 protected:
  PphostInput() { host_.Execute({R"({"op":"create","id":"a"})"}); }

  // "type:delivered/handled" of each input line.
  std::vector<std::string> Deliver(const std::vector<std::string>& types) {
    std::vector<std::string> lines;
    lines.reserve(types.size());
    for (const std::string& type : types) lines.push_back(R"({"op":"input","id":"a","type":")" + type + R"("})");
    std::vector<std::string> results;
    for (const Json& line : OfKind(host_.Execute(lines), "input")) {
      results.push_back(line.at("type").get<std::string>() + ":" + (line.at("delivered").get<bool>() ? "d" : "-") +
                        "/" + (line.at("handled").get<bool>() ? "h" : "-"));
    }
    return results;
  }

  ScriptedHost host_;
};

TEST_F(PphostInput, OnlyRequestedClassesAreDelivered) {
  EXPECT_THAT(Deliver({"mousedown", "wheel", "keydown"}), ElementsAre("mousedown:-/-", "wheel:-/-", "keydown:-/-"));

  host_.Execute({Request(PP_INPUTEVENT_CLASS_MOUSE, false)});
  EXPECT_THAT(Deliver({"mousedown", "mouseup", "mousemove", "mouseenter", "mouseleave", "contextmenu", "wheel",
                       "keydown", "keyup", "char"}),
              ElementsAre("mousedown:d/-", "mouseup:d/h", "mousemove:d/-", "mouseenter:d/-", "mouseleave:d/-",
                          "contextmenu:d/-", "wheel:-/-", "keydown:-/-", "keyup:-/-", "char:-/-"));

  host_.Execute({Request(PP_INPUTEVENT_CLASS_KEYBOARD | PP_INPUTEVENT_CLASS_WHEEL, true)});
  EXPECT_THAT(Deliver({"wheel", "char"}), ElementsAre("wheel:d/-", "char:d/-"));

  host_.Execute({R"({"op":"message","id":"a","msg":{"command":"CLEAR","classes":1}})"});
  EXPECT_THAT(Deliver({"mouseup", "keyup"}), ElementsAre("mouseup:-/-", "keyup:d/-"));
}

TEST_F(PphostInput, UnknownClassBitsAreRefusedButKnownOnesKept) {
  const std::vector<Json> out = host_.Execute({Request(PP_INPUTEVENT_CLASS_MOUSE | 0x100, false)});
  EXPECT_EQ(Posted(out).at(0).at("result"), PP_ERROR_NOTSUPPORTED);
  EXPECT_THAT(Deliver({"mouseup"}), ElementsAre("mouseup:d/h"));
}

TEST_F(PphostInput, TheEventCarriesPositionAndButton) {
  host_.Execute({Request(PP_INPUTEVENT_CLASS_MOUSE | PP_INPUTEVENT_CLASS_KEYBOARD, false)});
  const std::vector<Json> events = Posted(host_.Execute({
      R"({"op":"input","id":"a","type":"mousedown","x":5,"y":7,"button":"right"})",
      R"({"op":"input","id":"a","type":"mouseup","x":-3,"y":9})",
      R"({"op":"input","id":"a","type":"mousemove","x":1,"y":2,"button":1})",
      R"({"op":"input","id":"a","type":"keydown","x":4})",
  }));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].dump(), R"({"command":"INPUT","type":0,"x":5,"y":7,"button":2,"modifiers":256})");
  EXPECT_EQ(events[1].dump(), R"({"command":"INPUT","type":1,"x":-3,"y":9,"button":0,"modifiers":0})");
  EXPECT_EQ(events[2].dump(), R"({"command":"INPUT","type":2,"x":1,"y":2,"button":1,"modifiers":0})");
  // Not a mouse event: no position, no button.
  EXPECT_EQ(events[3].dump(), R"({"command":"INPUT","type":7,"x":0,"y":0,"button":-1,"modifiers":0})");
}

TEST_F(PphostInput, BadInputLinesAreErrors) {
  const std::vector<Json> errors = OfKind(host_.Execute({
                                              R"({"op":"input","id":"a","type":"touchstart"})",
                                              R"({"op":"input","id":"a","type":"mousedown","button":"side"})",
                                              R"({"op":"input","id":"a"})",
                                          }),
                                          "error");
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].at("text"), R"(input: unknown input type "touchstart")");
  EXPECT_EQ(errors[1].at("text"), R"(input: field "button" must be 0, 1, 2, "left", "middle" or "right")");
  EXPECT_EQ(errors[2].at("text"), R"(input: missing field "type")");
}

TEST_F(PphostInput, CursorRequestsAreReportedAndCanBeRefused) {
  const std::string cursor = R"({"op":"message","id":"a","msg":{"command":"CURSOR","type":2}})";
  const std::vector<Json> out = host_.Execute({
      cursor,
      R"({"op":"cursor-refuse","refuse":true})",
      cursor,
      R"({"op":"cursor-refuse","refuse":false})",
      R"({"op":"message","id":"a","msg":{"command":"CURSOR","type":-1}})",
      cursor,
  });
  std::vector<std::string> cursors;
  for (const Json& line : OfKind(out, "cursor")) cursors.push_back(line.dump());
  EXPECT_THAT(cursors, ElementsAre(R"({"kind":"cursor","t":0,"id":"a","type":2,"ok":true})",
                                   R"({"kind":"cursor","t":0,"id":"a","type":2,"ok":false})",
                                   R"({"kind":"cursor","t":0,"id":"a","type":-1,"ok":false})",
                                   R"({"kind":"cursor","t":0,"id":"a","type":2,"ok":true})"));
  std::vector<bool> answers;
  for (const Json& msg : Posted(out)) answers.push_back(msg.at("ok").get<bool>());
  EXPECT_THAT(answers, ElementsAre(true, false, false, true));
}

}  // namespace
}  // namespace devhost_test
