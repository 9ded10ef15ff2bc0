// Which request targets the server hands out files for: only regular files
// inside its folder, whatever the target does to escape it.
#include "devhost/serve/web_root.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace pphost::serve {
namespace {

namespace fs = std::filesystem;

// base/root (served): index.html, app.js, sub/index.html, sub/page.html and
// links; beside it base/secret.txt and base/rootkit/file.txt, which must stay
// out of reach.
class WebRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("pphost_web_root_" + std::to_string(::getpid()));
    fs::remove_all(base_);
    fs::create_directories(Root() / "sub");
    fs::create_directories(base_ / "rootkit");
    for (const char* name : {"index.html", "app.js", "sub/index.html", "sub/page.html"}) Write(Root() / name);
    Write(base_ / "secret.txt");
    Write(base_ / "rootkit" / "file.txt");
    fs::create_symlink(base_ / "secret.txt", Root() / "out.txt");
    fs::create_symlink(base_, Root() / "up");
    fs::create_symlink(Root() / "app.js", Root() / "alias.js");
  }
  void TearDown() override { fs::remove_all(base_); }

  fs::path Root() const { return base_ / "root"; }
  std::optional<fs::path> Resolve(const std::string& target) const { return WebRoot(Root()).Resolve(target); }

  fs::path base_;

 private:
  static void Write(const fs::path& file) { std::ofstream(file) << file.filename().string(); }
};

TEST_F(WebRootTest, FilesInsideResolveToTheirPlaceWithoutQueryOrFragment) {
  const fs::path root = fs::canonical(Root());
  EXPECT_EQ(Resolve("/app.js"), root / "app.js");
  EXPECT_EQ(Resolve("/"), root / "index.html");
  EXPECT_EQ(Resolve("/sub/"), root / "sub" / "index.html");
  EXPECT_EQ(Resolve("/sub/page.html?a=1&b=/../../secret.txt#top"), root / "sub" / "page.html");
  EXPECT_EQ(Resolve("/?x=1"), root / "index.html");
  EXPECT_EQ(Resolve("/#x"), root / "index.html");
  EXPECT_EQ(Resolve("/%61pp.j%73"), root / "app.js");  // an escape at the very end too
  EXPECT_EQ(Resolve("/sub/../app.js"), root / "app.js");
  EXPECT_EQ(Resolve("/alias.js"), root / "app.js");  // a link that stays inside
}

TEST_F(WebRootTest, TargetsThatLeaveTheFolderResolveToNothing) {
  const std::string secret = fs::canonical(base_ / "secret.txt").string();
  const std::vector<std::string> targets = {"/../secret.txt",       "/sub/../../secret.txt", "/%2e%2e/secret.txt",
                                            "/%2E%2e/secret.txt",   "/..%2fsecret.txt",      "/%2e%2e%2fsecret.txt",
                                            "/../rootkit/file.txt",  // a sibling whose name starts with the folder's
                                            "/" + secret,           "//etc/passwd",          "/out.txt",
                                            "/up/secret.txt",       "/up/root/../secret.txt"};
  for (const std::string& target : targets) {
    EXPECT_EQ(Resolve(target), std::nullopt) << target;
  }
}

TEST_F(WebRootTest, WhatIsNoRegularFileOrNoWellFormedTargetResolvesToNothing) {
  for (const char* target : {"/sub", "/sub/page.html/", "/.", "/missing.html", "/sub/missing/", "", "app.js", "*",
                             "/app.js%4", "/app.js%", "/app%zz.js", "/app.js%00", "/app.js%00.html"}) {
    EXPECT_EQ(Resolve(target), std::nullopt) << target;
  }
}

TEST_F(WebRootTest, TheFolderMayBeGivenThroughALinkOrRelativePath) {
  fs::create_symlink(Root(), base_ / "served");
  EXPECT_EQ(WebRoot(base_ / "served").Resolve("/app.js"), fs::canonical(Root()) / "app.js");
  const fs::path before = fs::current_path();
  fs::current_path(base_);
  const std::optional<fs::path> relative = WebRoot("root").Resolve("/sub/page.html");
  fs::current_path(before);
  EXPECT_EQ(relative, fs::canonical(Root()) / "sub" / "page.html");
}

// One's own folder of pages at "/", the page library (here base/rootkit)
// under /tallwick/ beside it; each keeps its targets inside itself.
TEST_F(WebRootTest, ThePageLibraryIsUnderItsPrefixBesideOnesOwnFolder) {
  const WebRoot served(Root(), base_ / "rootkit");
  const fs::path root = fs::canonical(Root()), library = fs::canonical(base_ / "rootkit");
  EXPECT_EQ(served.Resolve("/app.js"), root / "app.js");
  EXPECT_EQ(served.Resolve("/tallwick/file.txt?v=1"), library / "file.txt");
  EXPECT_EQ(served.Resolve("/tallwick%2Ffile.txt"), library / "file.txt");  // decoded first, as any target
  for (const char* target : {"/tallwick/", "/tallwick/../secret.txt", "/tallwick/%2e%2e/root/app.js",
                             "/tallwick/../root/app.js", "/tallwick", "/tallwick/app.js"}) {
    EXPECT_EQ(served.Resolve(target), std::nullopt) << target;
  }
  // Without a library the prefix is an ordinary folder of the pages.
  fs::create_directories(Root() / "tallwick");
  std::ofstream(Root() / "tallwick" / "own.js") << "x";
  EXPECT_EQ(WebRoot(Root()).Resolve("/tallwick/own.js"), root / "tallwick" / "own.js");
}

TEST(DecodeTargetPath, DecodesEscapesAndRefusesMalformedOnesAndNul) {
  EXPECT_EQ(DecodeTargetPath("/a%20b%2Fc?d=%zz#e"), "/a b/c");
  EXPECT_EQ(DecodeTargetPath("/%41"), "/A");
  EXPECT_EQ(DecodeTargetPath("/%ff"), "/\xff");
  for (const char* target : {"/%4", "/%", "/%zz", "/%4g", "/%g4", "/a%00b", "/%00"}) {
    EXPECT_EQ(DecodeTargetPath(target), std::nullopt) << target;
  }
}

TEST(MimeType, NamesPagesAndScriptsAndTreatsTheRestAsBytes) {
  EXPECT_EQ(MimeType("/w/meeting.html"), "text/html; charset=utf-8");
  EXPECT_EQ(MimeType("/w/bridge.js"), "text/javascript; charset=utf-8");
  EXPECT_EQ(MimeType("/w/module.so"), "application/octet-stream");
  EXPECT_EQ(MimeType("/w/html"), "application/octet-stream");
  EXPECT_EQ(MimeType("/w/page.html.bak"), "application/octet-stream");
}

}  // namespace
}  // namespace pphost::serve
