// docs/page-protocol.md against the module: its names, its command table per
// role, its error codes.
//
// The document's convention: a code span made only of letters, digits, "_"
// and "-" (with at least one letter) is a name on the wire. The names the
// module has are the string constants of the protocol header, every message
// key among them, taken from the compiled constants below, and the fixed
// values that the role sources write as literals (the stream-key suffixes and
// the merged stream's ids).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "docs/markdown_doc.h"
#include "embed/protocol.h"
#include "module/module_page.h"

namespace {

using docs_test::MarkdownDoc;
using docs_test::Missing;
using docs_test::ReadSourceFile;
using docs_test::TableRows;
using docs_test::Unwrapped;

constexpr const char* kDocument = "docs/page-protocol.md";
constexpr const char* kProtocolHeader = "src/embed/protocol.h";

struct NamedText {
  std::string name;   // the constant's name in the header
  std::string value;  // the name on the wire
};

struct NamedCode {
  std::string name;
  int32_t value;
};

// The constant's name and its value, written once.
#define NAMED(constant) \
  { #constant, TALLWICK_PP_RENDER::constant }

const std::vector<NamedText>& Commands() {
  static const std::vector<NamedText> names = {
      NAMED(kCmdInit),
      NAMED(kCmdReset),
      NAMED(kCmdGetPid),
      NAMED(kCmdSetProcessTitle),
      NAMED(kCmdSetFrameInfoInterval),
      NAMED(kCmdSetMeetingInfo),
      NAMED(kCmdDoUpdateSharedMemory),
      NAMED(kCmdGetSharedMemoryDiffs),
      NAMED(kCmdStartRender),
      NAMED(kCmdStopRender),
      NAMED(kCmdHideCursor),
      NAMED(kCmdShowCursor),
      NAMED(kCmdResetShoom),
      NAMED(kCmdGetFrameCount),
      NAMED(kCmdClearBuffer),
      NAMED(kCmd3DContextLost),
      NAMED(kCmdUpdateMultiInfos),
  };
  return names;
}

const std::vector<NamedText>& Events() {
  static const std::vector<NamedText> names = {
      NAMED(kEvtInstanceLoaded),
      NAMED(kEvtMouseUp),
      NAMED(kEvtError),
      NAMED(kEvtPong),
      NAMED(kEvtRenderStarted),
      NAMED(kEvtRenderStopped),
      NAMED(kEvtNeedResize),
      NAMED(kEvtRenderFrameStatusChange),
      NAMED(kEvtMultiFrameStatusChange),
      NAMED(kEvtMultiRenderStarted),
  };
  return names;
}

// The keys of messages, replies and events, grouped as the header groups
// them: each group starts a row.
// clang-format off
const std::vector<NamedText>& Keys() {
  static const std::vector<NamedText> names = {
      NAMED(kKeyCommand), NAMED(kKeyData), NAMED(kKeyCustom), NAMED(kKeyResponse), NAMED(kKeyError), NAMED(kKeyUuid),
      NAMED(kKeyLogPath), NAMED(kKeyLogVersion), NAMED(kKeyFps), NAMED(kKeyDpr), NAMED(kKeyRenderExceptionThreshold),
      NAMED(kKeyEnableHighPerformanceGPU), NAMED(kKeyEnablePPAPIRedExt),
      NAMED(kKeyCrashHandlerPath), NAMED(kKeyPid), NAMED(kKeyTitle), NAMED(kKeySelfSid), NAMED(kKeySelfUid),
      NAMED(kKeyOp), NAMED(kKeyDiffs), NAMED(kKeyPath), NAMED(kKeyUid), NAMED(kKeySid), NAMED(kKeyBufferSize),
      NAMED(kKeyBufferNumber), NAMED(kKeyIsScreen), NAMED(kKeyIsMerge), NAMED(kKeyFrameFormat),
      NAMED(kKeyIsPreview), NAMED(kKeyIsLocalScreen), NAMED(kKeyIsSelf), NAMED(kKeyCursorType),
      NAMED(kKeyBackgroundColor), NAMED(kKeyRenderInfos), NAMED(kKeyUserId), NAMED(kKeyStreamId), NAMED(kKeyStreamType),
      NAMED(kKeyRenderConfig), NAMED(kKeyLeft), NAMED(kKeyTop), NAMED(kKeyWidth), NAMED(kKeyHeight),
      NAMED(kKeyRenderMode), NAMED(kKeyIsMirror),
      NAMED(kKeyStreamKey),
      NAMED(kKeyErrorCode), NAMED(kKeyFrameStatus), NAMED(kKeyPlanS0), NAMED(kKeyPlanS1), NAMED(kKeyPlanS2),
      NAMED(kKeyRotation), NAMED(kKeyFrameId), NAMED(kKeyFlip),
      NAMED(kKeyViewWidth), NAMED(kKeyViewHeight), NAMED(kKeyFrameCount), NAMED(kKeyTimestamp),
  };
  return names;
}
// clang-format on

// Attributes, stream kinds and frame statuses.
const std::vector<NamedText>& OtherNames() {
  static const std::vector<NamedText> names = {
      NAMED(kAttrController), NAMED(kAttrMulti),         NAMED(kStreamCamera),
      NAMED(kStreamScreen),   NAMED(kStreamLocalScreen), NAMED(kStreamPreview),
      NAMED(kStreamMerge),    NAMED(kFrameStatusNormal), NAMED(kFrameStatusNone),
  };
  return names;
}

const std::vector<NamedCode>& ErrorCodes() {
  static const std::vector<NamedCode> codes = {
      NAMED(kErrorNone),
      NAMED(kErrorReset),
      NAMED(kErrorUpdateShareMemory),
      NAMED(kErrorInvalidCommand),
      NAMED(kErrorInstanceTypeMismatch),
      NAMED(kErrorShareMemoryNotFound),
      NAMED(kErrorRenderingStarted),
      NAMED(kErrorRenderingStopped),
      NAMED(kErrorAlreadyInited),
      NAMED(kErrorNotInited),
      NAMED(kErrorSetCursor),
      NAMED(kErrorStartRender),
      NAMED(kErrorStopRender),
      NAMED(kErrorOpenShoom),
      NAMED(kErrorResizeBuffer),
      NAMED(kErrorCompileShader),
      NAMED(kErrorLinkShader),
      NAMED(kErrorBindGraphics),
      NAMED(kErrorInitPpapi),
      NAMED(kErrorInitTexture),
      NAMED(kErrorContextLost),
      NAMED(kErrorUnknown21),
      NAMED(kErrorFrameDataNull),
      NAMED(kErrorFrameUpdating),
      NAMED(kErrorFrameUndrawable),
  };
  return codes;
}

// "op" of DO_UPDATE_SHARED_MEMORY, with a phrase its row must say.
struct ShareMemoryOp {
  NamedCode op;
  std::string effect;
};

const std::vector<ShareMemoryOp>& ShareMemoryOps() {
  static const std::vector<ShareMemoryOp> ops = {
      {NAMED(kShareMemoryOpAdd), "add each record"},
      {NAMED(kShareMemoryOpRemove), "remove the record"},
      {NAMED(kShareMemoryOpClear), "remove every record"},
  };
  return ops;
}

#undef NAMED

// Literals in the role sources that are log wording, not names on the wire.
const std::set<std::string>& LogWords() {
  static const std::set<std::string> words = {"camera", "screen"};
  return words;
}

bool IsWireName(const std::string& span) {
  static const std::regex name("[A-Za-z0-9_-]*[A-Za-z][A-Za-z0-9_-]*");
  return std::regex_match(span, name);
}

std::set<std::string> Values(const std::vector<NamedText>& names) {
  std::set<std::string> values;
  for (const NamedText& named : names) values.insert(named.value);
  return values;
}

// The roles' folders, and embed/, which builds the data the roles share.
const std::vector<std::string>& RoleFolders() {
  static const std::vector<std::string> folders = {"src/controller", "src/embed", "src/render", "src/gallery"};
  return folders;
}

// Fixed values the roles write as literals, and any name on the wire that a
// role source still writes in place: every quoted identifier in the code (not
// the comments) of the role folders. The protocol's own files are left out:
// its names are in the lists above, and its error texts are texts.
std::set<std::string> RoleLiterals() {
  static const std::regex literal("\"(_?[A-Za-z][A-Za-z0-9_]*)\"");
  std::set<std::string> names;
  for (const std::string& folder : RoleFolders()) {
    for (const std::string& file : docs_test::SourceFilesIn(folder)) {
      if (file.find("embed/protocol.") != std::string::npos) continue;
      const std::string code = docs_test::WithoutComments(ReadSourceFile(file));
      for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it) {
        if (LogWords().count((*it)[1]) == 0) names.insert((*it)[1]);
      }
    }
  }
  return names;
}

// Every name on the wire that the module has.
std::set<std::string> ModuleNames() {
  std::set<std::string> names = RoleLiterals();
  for (const auto* list : {&Commands(), &Events(), &Keys(), &OtherNames()}) {
    const std::set<std::string> values = Values(*list);
    names.insert(values.begin(), values.end());
  }
  return names;
}

std::set<std::string> DocumentNames(const MarkdownDoc& doc) {
  std::set<std::string> names;
  for (const std::string& span : doc.CodeSpans()) {
    if (IsWireName(span)) names.insert(span);
  }
  return names;
}

class PageProtocolDocTest : public ::testing::Test {
 protected:
  PageProtocolDocTest() : doc_(ReadSourceFile(kDocument)) {}
  MarkdownDoc doc_;
};

// A constant added to the protocol header must be added to the lists above,
// and so reach the document's checks.
TEST_F(PageProtocolDocTest, ListsEveryConstantOfTheProtocolHeader) {
  std::set<std::string> listed;
  for (const auto* list : {&Commands(), &Events(), &Keys(), &OtherNames()}) {
    for (const NamedText& named : *list) listed.insert(named.name);
  }
  for (const NamedCode& code : ErrorCodes()) listed.insert(code.name);
  for (const ShareMemoryOp& op : ShareMemoryOps()) listed.insert(op.op.name);
  const std::vector<std::string> declared = docs_test::DeclaredConstants(ReadSourceFile(kProtocolHeader), "k");
  ASSERT_FALSE(declared.empty());
  const std::set<std::string> declaredSet(declared.begin(), declared.end());
  EXPECT_EQ(Missing(declaredSet, listed), "") << "declared in " << kProtocolHeader << " but unknown to this test";
  EXPECT_EQ(Missing(listed, declaredSet), "") << "listed here but no longer declared in " << kProtocolHeader;
  EXPECT_EQ(Values(Keys()).size(), Keys().size()) << "two key constants of " << kProtocolHeader << " name one key";
}

TEST_F(PageProtocolDocTest, NamesEveryNameTheModuleHas) {
  for (const std::string& folder : RoleFolders()) {
    ASSERT_FALSE(docs_test::SourceFilesIn(folder).empty()) << folder << " moved: update the folder list";
  }
  const std::set<std::string> module = ModuleNames();
  EXPECT_EQ(Missing(module, DocumentNames(doc_)), "")
      << "the module has these names; " << kDocument << " does not name them in code style";
}

TEST_F(PageProtocolDocTest, NamesNothingTheModuleLacks) {
  EXPECT_EQ(Missing(DocumentNames(doc_), ModuleNames()), "")
      << kDocument << " names these; the module has none of them";
  // Whole messages in the examples name real commands and events.
  std::set<std::string> messages = Values(Commands());
  const std::set<std::string> events = Values(Events());
  messages.insert(events.begin(), events.end());
  static const std::regex named("\"(command|response)\"\\s*:\\s*\"([^\"]*)\"");
  std::set<std::string> inExamples;
  for (const auto& block : doc_.FencedBlocks("json")) {
    for (const std::string& line : block) {
      for (std::sregex_iterator it(line.begin(), line.end(), named), end; it != end; ++it) inExamples.insert((*it)[2]);
    }
  }
  EXPECT_FALSE(inExamples.empty());
  EXPECT_EQ(Missing(inExamples, messages), "")
      << "example messages name these; the module has no such command or event";
}

TEST_F(PageProtocolDocTest, ErrorTableHasEveryCodeWithTheModulesText) {
  std::set<int32_t> module;
  for (const NamedCode& code : ErrorCodes()) module.insert(code.value);
  // A code that got a text without an enumerator counts as well.
  for (int32_t code = 0; code < 256; ++code) {
    if (std::string(TALLWICK_PP_RENDER::ErrorText(code)) != "unknown") module.insert(code);
  }
  std::set<int32_t> documented;
  bool otherRow = false;
  for (const auto& row : doc_.Table({"Code", "Text"})) {
    ASSERT_GE(row.size(), 2u);
    const std::string text = Unwrapped(row[1], '"');
    EXPECT_EQ(row[1], '"' + text + '"') << "the text of code " << row[0] << " is not quoted";
    if (row[0] == "any other") {
      otherRow = true;
      for (int32_t other : {-1, *module.rbegin() + 1, 1000}) {
        EXPECT_EQ(text, TALLWICK_PP_RENDER::ErrorText(other)) << "code " << other;
      }
      continue;
    }
    const int32_t code = std::stoi(row[0]);
    documented.insert(code);
    EXPECT_EQ(module.count(code), 1u) << "the module has no error code " << code;
    EXPECT_EQ(text, TALLWICK_PP_RENDER::ErrorText(code)) << "the text of error code " << code;
  }
  EXPECT_TRUE(otherRow) << "no row for the codes without a text";
  for (int32_t code : module) EXPECT_EQ(documented.count(code), 1u) << "error code " << code << " is not documented";
}

TEST_F(PageProtocolDocTest, OpTableHasEveryRegistryOperation) {
  std::map<int32_t, std::string> documented;
  bool otherRow = false;
  for (const auto& row : doc_.Table({"op", "Effect"})) {
    ASSERT_GE(row.size(), 2u);
    if (row[0] == "any other") {
      otherRow = true;
    } else {
      documented[std::stoi(row[0])] = row[1];
    }
  }
  EXPECT_TRUE(otherRow);
  EXPECT_EQ(documented.size(), ShareMemoryOps().size());
  for (const ShareMemoryOp& op : ShareMemoryOps()) {
    ASSERT_EQ(documented.count(op.op.value), 1u) << op.op.name << " (" << op.op.value << ") is not documented";
    EXPECT_THAT(documented[op.op.value], ::testing::HasSubstr(op.effect)) << op.op.name;
  }
}

// What the module's elements answer, against the document's command table
// and the command headings of each role's section.
class RoleCommandsDocTest : public module_test::ModulePageTest {
 protected:
  struct Role {
    std::string element;  // the element's id in the page
    std::string attrs;    // its attributes
    std::string column;   // its column in the command table
    std::string section;  // its section's heading
  };

  static const std::vector<Role>& Roles() {
    static const std::vector<Role> roles = {
        {"controller", R"([["data-controller",""]])", "Controller", "Controller element"},
        {"single", "[]", "Single stream", "Single-stream element"},
        {"gallery", R"([["data-multi",""]])", "Gallery", "Gallery element"},
    };
    return roles;
  }

  // The commands the element does not answer with "invalid command".
  std::set<std::string> Answered(const std::string& element) {
    std::set<std::string> answered;
    for (const NamedText& command : Commands()) {
      const auto replies = Replies(Do({Command(element, command.value)}));
      EXPECT_EQ(replies.size(), 1u) << command.value;
      if (replies.empty()) continue;
      if (replies.front().at("error") != TALLWICK_PP_RENDER::kErrorInvalidCommand) answered.insert(command.value);
    }
    return answered;
  }
};

TEST_F(RoleCommandsDocTest, CommandTableAndRoleSectionsMatchWhatEachElementAnswers) {
  for (const Role& role : Roles()) Do({Create(role.element, role.attrs)});
  const MarkdownDoc doc(ReadSourceFile(kDocument));
  const TableRows table = doc.Table({"Command", "Controller", "Single stream", "Gallery"});

  std::set<std::string> rows;
  for (const auto& row : table) rows.insert(Unwrapped(row.at(0), '`'));
  EXPECT_EQ(rows, Values(Commands())) << "the command table's rows";

  for (size_t i = 0; i < Roles().size(); ++i) {
    const Role& role = Roles()[i];
    const std::set<std::string> answered = Answered(role.element);
    EXPECT_FALSE(answered.empty()) << role.element;

    std::set<std::string> inTable;
    for (const auto& row : table) {
      if (row.size() > i + 1 && row[i + 1] == "yes") inTable.insert(Unwrapped(row[0], '`'));
    }
    EXPECT_EQ(inTable, answered) << "the column " << role.column << " of the command table";

    std::set<std::string> headed;
    for (const std::string& heading : doc.SubHeadings(role.section)) {
      for (const std::string& span : docs_test::CodeSpansIn(heading)) {
        if (Values(Commands()).count(span) != 0) headed.insert(span);
      }
    }
    EXPECT_EQ(headed, answered) << "the command headings of the section \"" << role.section << "\"";
  }
}

}  // namespace
