// The page picture and the region counts through pphost, driven by the fake
// plug-in: `page`, `watch` and `watched`.
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
using ::testing::StartsWith;

const std::string kRun = R"({"op":"run","ms":5})";

// Instance `id` with a bound context of that size (no alpha).
std::vector<std::string> Presenter(const std::string& id, int width, int height) {
  return {R"({"op":"create","id":")" + id + R"("})", Command(id, "CONTEXT", {{"width", width}, {"height", height}}),
          Command(id, "BIND")};
}

std::string View(const std::string& id, const std::string& rect, bool visible = true) {
  return R"({"op":"view","id":")" + id + R"(","rect":)" + rect + (visible ? "" : R"(,"visible":false)") + "}";
}

std::string Swap(const std::string& id) { return Command(id, "SWAP"); }

class PphostPage : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() / "pphost_page_test.png").string();
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::vector<Json> Run(const std::vector<std::string>& lines) { return host_.Execute(lines); }

  std::string Page(const std::string& extra = "") const {
    return R"({"op":"page","png":")" + path_ + "\"" + extra + "}";
  }

  ScriptedHost host_;
  std::string path_;
};

TEST_F(PphostPage, ComposesEveryShownInstanceAtItsViewInCreationOrder) {
  Run(Presenter("a", 8, 4));
  Run(Presenter("b", 2, 2));
  Run(Presenter("hidden", 2, 2));
  Run({R"({"op":"create","id":"blank"})", View("blank", "[0,0,40,40]")});  // nothing presented
  // b, drawn at twice its size, overlaps a's right edge and lies above it.
  const std::vector<Json> out =
      Run({View("a", "[0,0,8,4]"), View("b", "[6,2,4,4]"), View("hidden", "[0,0,2,2]", false), Fill("a", Rgba(1, 0, 0)),
           Swap("a"), Fill("b", Rgba(0, 1, 0)), Swap("b"), Fill("hidden", Rgba(1, 1, 1)), Swap("hidden"), kRun,
           Page(R"(,"background":[0,0,255])")});
  EXPECT_THAT(Errors(out), IsEmpty());
  ASSERT_EQ(OfKind(out, "page").size(), 1u);
  EXPECT_EQ(OfKind(out, "page")[0].dump(),
            R"({"kind":"page","width":10,"height":6,"path":")" + path_ + R"(","ids":["a","b"]})");
  EXPECT_EQ(out.back().at("op"), "page");  // its ack comes last
  const PngFile png = ReadPng(path_);
  ASSERT_EQ(png.width, 10);
  ASSERT_EQ(png.height, 6);
  EXPECT_THAT(png.At(0, 0), ElementsAre(255, 0, 0, 255));
  EXPECT_THAT(png.At(7, 1), ElementsAre(255, 0, 0, 255));
  EXPECT_THAT(png.At(6, 2), ElementsAre(0, 255, 0, 255));
  EXPECT_THAT(png.At(9, 5), ElementsAre(0, 255, 0, 255));
  EXPECT_THAT(png.At(0, 5), ElementsAre(0, 0, 255, 255));
  EXPECT_THAT(png.At(9, 0), ElementsAre(0, 0, 255, 255));
}

TEST_F(PphostPage, RefusesWhenNothingIsShownOrTheFileOrBackgroundIsBad) {
  Run(Presenter("a", 2, 2));
  std::vector<Json> out = Run({Page(), View("a", "[0,0,2,2]"), Page()});
  EXPECT_THAT(Errors(out), ElementsAre("page: no visible instance has both a view and a presented image",
                                       "page: no visible instance has both a view and a presented image"));
  out = Run({Fill("a", Rgba(1, 0, 0)), Swap("a"), kRun, Page(R"(,"background":[0,0])"),
             Page(R"(,"background":[0,256,0])"), R"({"op":"page","png":"/nonexistent/folder/page.png"})",
             View("a", "[0,0,9000,2]"), Page()});
  EXPECT_THAT(Errors(out), ElementsAre(R"(page: field "background" must be [r, g, b])",
                                       R"(page: field "background" must hold values from 0 to 255)",
                                       StartsWith("page: cannot write /nonexistent/folder/page.png: "),
                                       "page: the page would be 9000x2 pixels, more than 8192 a side"));
  EXPECT_THAT(OfKind(out, "page"), IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(path_));
}

std::string Watch(const std::string& regions) { return R"({"op":"watch","id":"a","regions":)" + regions + "}"; }

const std::string kWatched = R"({"op":"watched","id":"a"})";
const std::string kHalves =
    Watch(R"([{"name":"top","rect":[0,0,8,2]},{"name":"bottom","rect":[0,2,8,2]},{"name":"off","rect":[8,0,4,4]}])");

// The `watched` line's regions, as text.
std::string Counts(const std::vector<Json>& out) {
  const std::vector<Json> lines = OfKind(out, "watched");
  return lines.size() == 1 ? lines[0].at("regions").dump() : "no single watched line";
}

TEST_F(PphostPage, WatchCountsChangedRegionsOnEachSwapWithTheirTimes) {
  Run(Presenter("a", 8, 4));
  Run({Fill("a", Rgba(1, 0, 0)), Swap("a"), kRun});  // before the watch: not counted
  std::vector<Json> out = Run({kHalves, kWatched});
  EXPECT_EQ(Counts(out), R"([{"name":"top","changes":0,"first_t":null,"last_t":null},)"
                         R"({"name":"bottom","changes":0,"first_t":null,"last_t":null},)"
                         R"({"name":"off","changes":0,"first_t":null,"last_t":null}])");
  // The same picture again counts once, as the first swap watched; then
  // green in GL's bottom rows changes only the bottom region.
  out = Run({Command("a", "SWAP"), kRun, Command("a", "SWAP"), kRun,
             Fill("a", Json{{"g", 1}, {"a", 1}, {"x", 0}, {"y", 0}, {"w", 8}, {"h", 1}}), Swap("a"), kRun, kWatched});
  EXPECT_EQ(Counts(out), R"([{"name":"top","changes":1,"first_t":5,"last_t":5},)"
                         R"({"name":"bottom","changes":2,"first_t":5,"last_t":15},)"
                         R"({"name":"off","changes":0,"first_t":null,"last_t":null}])");
  EXPECT_EQ(OfKind(out, "watched")[0].at("id"), "a");

  // Bad lines change nothing.
  out = Run({Watch("{}"), Watch(R"([{"rect":[0,0,1,1]}])"), Watch(R"([{"name":1,"rect":[0,0,1,1]}])"),
             Watch(R"([{"name":"x","rect":[0,0,1]}])"), Watch(R"([{"name":"x","rect":[0,0,-1,1]}])"),
             Watch(R"([{"name":"x","rect":[0,0,1,1]},{"name":"x","rect":[1,1,1,1]}])"),
             R"({"op":"watch","id":"zz","regions":[]})", R"({"op":"watched","id":"zz"})", kWatched});
  EXPECT_THAT(Errors(out), ElementsAre(R"(watch: field "regions" must be a list of {"name", "rect"})",
                                       R"(watch: missing field "name")", R"(watch: field "name" must be a string)",
                                       R"(watch: field "rect" must be [x, y, w, h])",
                                       R"(watch: region "x" has a negative size)", R"(watch: region "x" given twice)",
                                       R"(watch: unknown id "zz")", R"(watched: unknown id "zz")"));
  EXPECT_THAT(Counts(out), StartsWith(R"([{"name":"top","changes":1,)"));
}

TEST_F(PphostPage, ANewWatchStartsAgainAndNoRegionsStopsCounting) {
  Run(Presenter("a", 8, 4));
  Run({kHalves, Fill("a", Rgba(1, 0, 0)), Swap("a"), kRun});
  std::vector<Json> out = Run({Watch(R"([{"name":"corner","rect":[0,0,1,1]}])"), kWatched});
  EXPECT_EQ(Counts(out), R"([{"name":"corner","changes":0,"first_t":null,"last_t":null}])");
  out = Run({Command("a", "SWAP"), kRun, kWatched});
  EXPECT_EQ(Counts(out), R"([{"name":"corner","changes":1,"first_t":5,"last_t":5}])");

  out = Run({Watch("[]"), Fill("a", Rgba(0, 0, 1)), Swap("a"), kRun, kWatched});
  EXPECT_THAT(Errors(out), IsEmpty());
  EXPECT_EQ(Counts(out), "[]");
}

}  // namespace
}  // namespace devhost_test
