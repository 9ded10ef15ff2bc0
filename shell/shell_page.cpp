#include "shell/shell_page.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "shell/output_lines.h"

namespace tallwick_shell {
namespace {

// Console lines that start with this are reports for the shell.
constexpr char kReportPrefix[] = "tallwick-shell ";

// Runs before any script of the page, in the page's own world.
QString BridgeScript(int number) {
  return QStringLiteral(
             "window.tallwickShell = Object.freeze({"
             "  page: %1,"
             "  report(object) { console.log('%2' + JSON.stringify(object)); },"
             "});")
      .arg(number)
      .arg(QString::fromLatin1(kReportPrefix));
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
  WriteLine({{"kind", "console"},
             {"page", number_},
             {"level", LevelName(level)},
             {"text", text},
             {"source", sourceId.toStdString()},
             {"line", lineNumber}});
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
