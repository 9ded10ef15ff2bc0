#pragma once

#include <QWebEnginePage>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

namespace tallwick_shell {

// A page of the shell. Before the page's own scripts it runs page_bridge.js,
// which gives them `window.tallwickShell` and reports page errors and what
// plug-in elements post. A report goes out as an output line as it is, with
// "page" added; any other console line goes out as a "console" line.
//
// The browser's own console lines (those that name no script line, such as
// the GL decoder's warning on every draw) are written once; their repeats
// are counted, and FlushRepeats writes each count as one line with
// "repeated": N.
class ShellPage : public QWebEnginePage {
  Q_OBJECT

 public:
  ShellPage(QWebEngineProfile* profile, int number, QObject* parent);

  int Number() const { return number_; }

  // One "console" line for each browser line that repeated since the last
  // flush, with the number of repeats.
  void FlushRepeats();

 signals:
  // Every report, after it has been written out.
  void Reported(const nlohmann::json& report);

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceId) override;

 private:
  // level, text, source
  using BrowserLine = std::tuple<std::string, std::string, std::string>;

  void InstallBridgeScript();
  void WriteReport(const std::string& text);
  bool CountedAsRepeat(const BrowserLine& line);
  nlohmann::json ConsoleLine(const BrowserLine& line, int lineNumber) const;

  int number_;
  std::map<BrowserLine, int> repeats_;  // repeats not yet written, by line
};

}  // namespace tallwick_shell
