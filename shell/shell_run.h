#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "shell/shell_options.h"

class QWebEngineProfile;
class QWebEngineView;

namespace tallwick_shell {

class ShellPage;

// One run of the shell: opens every page in a window of its own, carries out
// the timed screenshots, clicks, typing and closes, plays the input that a
// page asks for, watches the plug-in process, and ends the application with
// the run's status:
//   0  ran to its end;
//   1  a page failed: it reported "fail" (the run goes on), or it had an
//      error of its own ("page-error": an uncaught exception, a script that
//      does not parse or load; the run ends then and there);
//   3  the plug-in process died while a page still had plug-in elements, or a
//      page's renderer died.
// Timed actions and --seconds count from the moment the first page has
// loaded (its "loaded" line). The run ends after --seconds, when a page
// reports "done", or when the last window closes; the "exit" line says why,
// and names the first failure. A "cursor" line says when the pointer's shape
// over a page changes (as a plug-in sets it: "blank" when it hides the
// cursor).
class ShellRun : public QObject {
  Q_OBJECT

 public:
  ShellRun(ShellOptions options, QWebEngineProfile* profile);
  ~ShellRun() override;

  void Start();

 private:
  struct Window;

  void OpenPage(const std::string& address);
  void PageLoaded(int number, bool ok);
  void ArmTimedActions();
  void At(double seconds, std::function<void()> action);
  void TakeScreenshot(const std::string& file);
  void ClosePage(int number);
  void OnReport(ShellPage* page, const nlohmann::json& report);
  void PlayReportedInput(Window& window, const nlohmann::json& report);
  void WatchProcesses();
  void WatchCursors();
  void FlushRepeats();
  void Fail(int page, const std::string& why);
  void Finish(int status, const std::string& reason);
  Window* FindWindow(int number);
  int LiveElements() const;
  int EndStatus() const;

  ShellOptions options_;
  QWebEngineProfile* profile_;
  std::vector<std::unique_ptr<Window>> windows_;
  QTimer processTimer_;
  QTimer cursorTimer_;
  QTimer repeatTimer_;
  std::vector<std::unique_ptr<QTimer>> timedActions_;
  std::set<int> pluginPids_;  // plug-in processes seen alive
  std::string failure_;       // the first, as the exit line names it
  bool armed_ = false;
  bool finished_ = false;
};

}  // namespace tallwick_shell
