#include "module/module_page.h"

#include <filesystem>

#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "host/ppapi/ppp.h"

namespace module_test {

namespace {

pphost::HostOptions Options() {
  pphost::HostOptions options = devhost_test::VirtualClock();
  options.log = true;
  options.tracePresent = true;
  return options;
}

pphost::EntryPoints ModuleEntryPoints() { return {&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule}; }

}  // namespace

ModulePageTest::ModulePageTest() : page_(Options(), ModuleEntryPoints()) {}

ModulePageTest::ModulePageTest(const pphost::EntryPoints& module) : page_(Options(), module) {}

ModulePageTest::~ModulePageTest() {
  page_.Host().Finish();
  // The controller lives as long as the process; every test starts with a new one.
  TALLWICK_PP_RENDER::ControllerEmbed::DestroyInstance();
}

void ModulePageTest::EnableLogging() {
  const auto folder = std::filesystem::temp_directory_path() / "tallwick-module-tests";
  TALLWICK_LOG::LogInstance::GetInstance()->Create(1, folder.string(), "PPAPI_RENDER", "PPAPI_RENDER");
}

std::string ModulePageTest::Create(const std::string& id, const std::string& attrsJson) {
  return R"({"op":"create","id":")" + id + R"(","attrs":)" + attrsJson + "}";
}

std::string ModulePageTest::Message(const std::string& id, const std::string& msgJson) {
  return R"({"op":"message","id":")" + id + R"(","msg":)" + msgJson + "}";
}

std::string ModulePageTest::Command(const std::string& id, const std::string& command, const std::string& dataJson) {
  return Message(id, R"({"command":")" + command + R"(","data":)" + dataJson + "}");
}

std::string ModulePageTest::Run(int ms) { return R"({"op":"run","ms":)" + std::to_string(ms) + "}"; }

std::string ModulePageTest::Destroy(const std::string& id) { return R"({"op":"destroy","id":")" + id + R"("})"; }

std::vector<Json> ModulePageTest::PostsTo(const std::vector<Json>& lines, const std::string& id) {
  std::vector<Json> posts;
  for (const Json& line : devhost_test::OfKind(lines, "post")) {
    if (line.at("id") == id) posts.push_back(line);
  }
  return posts;
}

std::vector<std::string> ModulePageTest::CommandsTo(const std::vector<Json>& lines, const std::string& id) {
  const auto text = [](const Json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); };
  std::vector<std::string> commands;
  for (const Json& post : PostsTo(lines, id)) {
    const Json& msg = post.at("msg");
    if (msg.contains("response")) {
      commands.push_back("reply " + text(msg.at("response")));
    } else if (msg.contains("command")) {
      commands.push_back(text(msg.at("command")));
    }
  }
  return commands;
}

std::vector<Json> ModulePageTest::Replies(const std::vector<Json>& lines) {
  std::vector<Json> replies;
  for (const Json& msg : devhost_test::Posted(lines)) {
    if (msg.contains("response")) replies.push_back(msg);
  }
  return replies;
}

std::vector<std::string> ModulePageTest::LogTexts(const std::vector<Json>& lines, const std::string& needle) {
  std::vector<std::string> texts;
  for (const Json& line : devhost_test::OfKind(lines, "log")) {
    const std::string text = line.at("text").get<std::string>();
    if (text.find(needle) != std::string::npos) texts.push_back(text);
  }
  return texts;
}

std::vector<int64_t> ModulePageTest::Times(const std::vector<Json>& posts) {
  std::vector<int64_t> times;
  times.reserve(posts.size());
  for (const Json& post : posts) times.push_back(post.at("t").get<int64_t>());
  return times;
}

}  // namespace module_test
