// Instances, messages, views and the page values that cross the host, driven
// through the fake plug-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devhost/scripted_host.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;

std::string PostLineFor(ScriptedHost& host, const std::string& msg) {
  host.Execute({R"({"op":"message","id":"a","msg":)" + msg + "}"});
  const std::vector<std::string>& text = host.Text();
  return text[text.size() - 2];  // the post, then the ack
}

TEST(PphostMessages, ValuesKeepTheirJsonShapeThroughTheModule) {
  ScriptedHost host;
  host.Execute({R"({"op":"create","id":"a"})"});
  // Integers that fit 32 bits stay integers; every other number is a double
  // and keeps a fraction or an exponent on the way back.
  EXPECT_EQ(PostLineFor(host, R"({"i":[0,-1,2147483647,-2147483648],"big":[2147483648,-2147483649]})"),
            R"({"kind":"post","t":0,"id":"a","msg":{"i":[0,-1,2147483647,-2147483648],)"
            R"("big":[2147483648.0,-2147483649.0]}})");
  EXPECT_EQ(PostLineFor(host, R"([1.0,1e3,0.5,-0.0,2.5e-8])"),
            R"({"kind":"post","t":0,"id":"a","msg":[1.0,1000.0,0.5,-0.0,2.5e-08]})");
  EXPECT_EQ(PostLineFor(host, R"({"u":{"$undefined":true},"n":null,"b":[true,false],"k":{"$undefined":false}})"),
            R"({"kind":"post","t":0,"id":"a","msg":{"u":{"$undefined":true},"n":null,"b":[true,false],)"
            R"("k":{"$undefined":false}}})");
  EXPECT_EQ(PostLineFor(host, R"({"s":"h\u00e9llo \"\u2713\" \ud83d\ude00","nested":{"a":[{"b":[]}],"e":{}}})"),
            "{\"kind\":\"post\",\"t\":0,\"id\":\"a\",\"msg\":{\"s\":\"h\xC3\xA9llo \\\"\xE2\x9C\x93\\\" "
            "\xF0\x9F\x98\x80\",\"nested\":{\"a\":[{\"b\":[]}],\"e\":{}}}}");
  // Scalars travel as themselves.
  EXPECT_EQ(PostLineFor(host, "7"), R"({"kind":"post","t":0,"id":"a","msg":7})");
  EXPECT_EQ(PostLineFor(host, R"({"$undefined":true})"), R"({"kind":"post","t":0,"id":"a","msg":{"$undefined":true}})");
}

TEST(PphostMessages, CreateHandsTheAttributesOverInOrderAndNumbersInstancesUpwards) {
  ScriptedHost host;
  const std::vector<Json> out = host.Execute({
      R"({"op":"create","id":"a","attrs":[["data-multi",""],["n",5],["o",{"k":[1]}],["data-multi","again"]]})",
      R"({"op":"create","id":7})",
  });
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[0].dump(), R"({"kind":"post","t":0,"id":"a","msg":{"command":"CREATED","attrs":)"
                           R"([["data-multi",""],["n","5"],["o","{\"k\":[1]}"],["data-multi","again"]]}})");
  EXPECT_EQ(out[1].dump(), R"({"kind":"created","id":"a","instance":1})");
  EXPECT_EQ(out[2].dump(), R"({"kind":"ack","seq":1,"op":"create"})");
  EXPECT_EQ(out[4].dump(), R"({"kind":"created","id":7,"instance":2})");
}

TEST(PphostMessages, ARefusedInstanceIsDestroyedAndItsNameStaysFree) {
  ScriptedHost host;
  const std::vector<Json> refused = host.Execute({R"({"op":"create","id":"a","attrs":[["refuse",""]]})"});
  EXPECT_THAT(PostedCommands(refused), ElementsAre("CREATED", "DESTROYED"));
  ASSERT_EQ(OfKind(refused, "error").size(), 1u);
  EXPECT_TRUE(OfKind(refused, "created").empty());

  const std::vector<Json> again = host.Execute({R"({"op":"create","id":"a"})", R"({"op":"create","id":"a"})"});
  EXPECT_EQ(OfKind(again, "created").at(0).at("instance"), 2);
  EXPECT_EQ(OfKind(again, "error").at(0).at("text"), R"(create: id "a" is already in use)");
}

TEST(PphostMessages, ViewCarriesRectVisibilityAndScaleWithTheWholeElementAsClip) {
  ScriptedHost host;
  host.Execute({R"({"op":"create","id":"a"})"});
  const std::vector<Json> out = host.Execute({
      R"({"op":"view","id":"a","rect":[10,20,640,360]})",
      R"({"op":"view","id":"a","rect":[0,0,320,180],"visible":false,"scale":2.5})",
  });
  const std::vector<Json> views = Posted(out);
  ASSERT_EQ(views.size(), 2u);
  EXPECT_EQ(views[0].dump(),
            R"({"command":"VIEW","rect":[10,20,640,360],"visible":true,"scale":1.0,"clip":[0,0,640,360]})");
  EXPECT_EQ(views[1].dump(), R"({"command":"VIEW","rect":[0,0,320,180],"visible":false,"scale":2.5,"clip":[0,0,0,0]})");
}

TEST(PphostMessages, ContextLostReachesTheInstance) {
  ScriptedHost host;
  host.Execute({R"({"op":"create","id":"a"})"});
  EXPECT_THAT(PostedCommands(host.Execute({R"({"op":"contextlost","id":"a"})"})), ElementsAre("LOST"));
}

TEST(PphostMessages, PostsOfADestroyedInstanceAreNotHeard) {
  ScriptedHost host;
  const std::vector<Json> out = host.Execute({
      R"({"op":"create","id":"a"})",
      R"({"op":"message","id":"a","msg":{"command":"TIMER","delay":5}})",
      R"({"op":"destroy","id":"a"})",
      R"({"op":"run","ms":10})",
      R"({"op":"message","id":"a","msg":1})",
  });
  EXPECT_THAT(PostedCommands(out), ElementsAre("CREATED", "DESTROYED"));
  EXPECT_EQ(OfKind(out, "error").at(0).at("text"), R"(message: unknown id "a")");
}

}  // namespace
}  // namespace devhost_test
