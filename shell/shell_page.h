#pragma once

#include <QWebEnginePage>
#include <nlohmann/json.hpp>

namespace tallwick_shell {

// A page of the shell. It gives the page's scripts `window.tallwickShell`
// (report(object): one line to the shell, `page`: this page's number) and
// turns what the page says into output lines: a report goes out as it is,
// with "page" added; any other console line goes out as a "console" line.
class ShellPage : public QWebEnginePage {
  Q_OBJECT

 public:
  ShellPage(QWebEngineProfile* profile, int number, QObject* parent);

  int Number() const { return number_; }

 signals:
  // Every report, after it has been written out.
  void Reported(const nlohmann::json& report);

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceId) override;

 private:
  void InstallBridgeScript();
  void WriteReport(const std::string& text);

  int number_;
};

}  // namespace tallwick_shell
