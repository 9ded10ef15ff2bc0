#include "shell/shell_page.h"

#include <QFile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "shell/output_lines.h"

namespace tallwick_shell {
namespace {

// Console lines that start with this are reports for the shell.
constexpr char kReportPrefix[] = "tallwick-shell ";
// Distinct browser lines whose repeats are counted; further ones are written
// every time.
constexpr size_t kMostCountedLines = 256;

QString BridgeScript(int number) {
  QFile file(QStringLiteral(":/tallwick-shell/page_bridge.js"));
  file.open(QIODevice::ReadOnly);
  return QString::fromUtf8(file.readAll())
      .replace(QStringLiteral("__TALLWICK_PAGE__"), QString::number(number))
      .replace(QStringLiteral("__TALLWICK_PREFIX__"), QString::fromLatin1(kReportPrefix));
}

const char* LevelName(QWebEnginePage::JavaScriptConsoleMessageLevel level) {
  switch (level) {
    case QWebEnginePage::InfoMessageLevel:
      return "info";
    case QWebEnginePage::WarningMessageLevel:
      return "warning";
    case QWebEnginePage::ErrorMessageLevel:
      return "error";
  }
  return "info";
}

}  // namespace

ShellPage::ShellPage(QWebEngineProfile* profile, int number, QObject* parent)
    : QWebEnginePage(profile, parent), number_(number) {
  InstallBridgeScript();
}

void ShellPage::InstallBridgeScript() {
  QWebEngineScript script;
  script.setName(QStringLiteral("tallwick-shell-bridge"));
  script.setSourceCode(BridgeScript(number_));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(false);
  scripts().insert(script);
}

void ShellPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                         const QString& sourceId) {
  const std::string text = message.toStdString();
  if (text.rfind(kReportPrefix, 0) == 0) {
    WriteReport(text.substr(sizeof(kReportPrefix) - 1));
    return;
  }
  const BrowserLine line{LevelName(level), text, sourceId.toStdString()};
  if (lineNumber == 0 && CountedAsRepeat(line)) return;
  WriteLine(ConsoleLine(line, lineNumber));
}

nlohmann::json ShellPage::ConsoleLine(const BrowserLine& line, int lineNumber) const {
  return {{"kind", "console"},           {"page", number_},   {"level", std::get<0>(line)}, {"text", std::get<1>(line)},
          {"source", std::get<2>(line)}, {"line", lineNumber}};
}

// The first time a browser line comes it is written; after that it is counted.
bool ShellPage::CountedAsRepeat(const BrowserLine& line) {
  const auto found = repeats_.find(line);
  if (found != repeats_.end()) {
    ++found->second;
    return true;
  }
  if (repeats_.size() < kMostCountedLines) repeats_.emplace(line, 0);
  return false;
}

void ShellPage::FlushRepeats() {
  for (auto& [line, count] : repeats_) {
    if (count == 0) continue;
    nlohmann::json repeats = ConsoleLine(line, 0);
    repeats["repeated"] = count;
    WriteLine(repeats);
    count = 0;
  }
}

void ShellPage::WriteReport(const std::string& text) {
  nlohmann::json report = nlohmann::json::parse(text, nullptr, false);
  if (!report.is_object() || !report.contains("kind")) {
    WriteLine({{"kind", "console"}, {"page", number_}, {"level", "error"}, {"text", "bad report: " + text}});
    return;
  }
  report["page"] = number_;
  WriteLine(report);
  emit Reported(report);
}

}  // namespace tallwick_shell
