#include "shell/shell_run.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QUrl>
#include <QWebEngineView>
#include <utility>

#include "shell/browser_processes.h"
#include "shell/input_player.h"
#include "shell/local_pages.h"
#include "shell/output_lines.h"
#include "shell/shell_page.h"

namespace tallwick_shell {
namespace {

constexpr int kProcessPollMs = 250;
constexpr int kCursorPollMs = 50;

std::string CursorName(Qt::CursorShape shape) {
  switch (shape) {
    case Qt::ArrowCursor:
      return "arrow";
    case Qt::BlankCursor:
      return "blank";
    case Qt::PointingHandCursor:
      return "pointer";
    case Qt::IBeamCursor:
      return "text";
    case Qt::CrossCursor:
      return "crosshair";
    case Qt::WaitCursor:
      return "wait";
    default:
      return "shape " + std::to_string(static_cast<int>(shape));
  }
}

// A URL as it stands ("http://...", "file:///..."), or a file path with an
// optional "?query" (the query is the page's own), served as a local page.
QUrl PageUrl(const std::string& address) {
  const QString text = QString::fromStdString(address);
  if (text.contains(QStringLiteral("://"))) return QUrl(text);
  const int question = text.indexOf('?');
  return LocalPages::UrlOf(question < 0 ? text : text.left(question),
                           question < 0 ? QString() : text.mid(question + 1));
}

// Every process of the run with its CPU time so far; the GPU service is a
// thread of the browser process, so its share is given on its own.
nlohmann::json ProcessList() {
  nlohmann::json list = nlohmann::json::array();
  list.push_back({{"pid", QCoreApplication::applicationPid()},
                  {"type", "browser"},
                  {"cpu_ms", OwnCpuMs()},
                  {"gpu_cpu_ms", OwnGpuCpuMs()}});
  for (const BrowserProcess& process : ListBrowserProcesses()) {
    list.push_back({{"pid", process.pid}, {"type", process.type}, {"cpu_ms", process.cpuMs}});
  }
  return list;
}

}  // namespace

struct ShellRun::Window {
  int number = 0;
  std::unique_ptr<QWebEngineView> view;
  ShellPage* page = nullptr;  // owned by the view
  std::set<std::string> liveElements;
  std::string cursor = "arrow";
};

ShellRun::ShellRun(ShellOptions options, QWebEngineProfile* profile)
    : options_(std::move(options)), profile_(profile) {}

ShellRun::~ShellRun() = default;

void ShellRun::Start() {
  for (const std::string& address : options_.pages) OpenPage(address);
  ArmTimedActions();
  connect(&processTimer_, &QTimer::timeout, this, &ShellRun::WatchProcesses);
  processTimer_.start(kProcessPollMs);
  connect(&cursorTimer_, &QTimer::timeout, this, &ShellRun::WatchCursors);
  cursorTimer_.start(kCursorPollMs);
  connect(qGuiApp, &QGuiApplication::lastWindowClosed, this, [this] { Finish(EndStatus(), "the last window closed"); });
}

void ShellRun::OpenPage(const std::string& address) {
  auto window = std::make_unique<Window>();
  window->number = static_cast<int>(windows_.size()) + 1;
  window->view = std::make_unique<QWebEngineView>();
  window->page = new ShellPage(profile_, window->number, window->view.get());
  window->view->setPage(window->page);
  window->view->resize(options_.width, options_.height);
  window->view->setWindowTitle(QStringLiteral("tallwick-shell %1").arg(window->number));
  ShellPage* page = window->page;
  connect(page, &ShellPage::Reported, this, [this, page](const nlohmann::json& report) { OnReport(page, report); });
  const int number = window->number;
  connect(
      page, &QWebEnginePage::renderProcessTerminated, this,
      [this, number](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
        if (status == QWebEnginePage::NormalTerminationStatus) return;
        WriteLine({{"kind", "renderer-died"}, {"page", number}, {"status", static_cast<int>(status)}, {"code", code}});
        Finish(3, "the renderer of page " + std::to_string(number) + " died");
      });
  const QUrl url = PageUrl(address);
  WriteLine({{"kind", "open"}, {"page", number}, {"url", url.toString().toStdString()}});
  window->view->load(url);
  window->view->show();
  windows_.push_back(std::move(window));
}

void ShellRun::At(double seconds, std::function<void()> action) {
  auto timer = std::make_unique<QTimer>();
  timer->setSingleShot(true);
  connect(timer.get(), &QTimer::timeout, this, std::move(action));
  timer->start(static_cast<int>(seconds * 1000.0));
  timedActions_.push_back(std::move(timer));
}

void ShellRun::ArmTimedActions() {
  for (const TimedScreenshot& shot : options_.screenshots) At(shot.at, [this, shot] { TakeScreenshot(shot.file); });
  for (const TimedClick& click : options_.clicks) {
    At(click.at, [this, click] {
      if (Window* window = FindWindow(1)) Click(*window->view, QPoint(click.x, click.y));
      WriteLine({{"kind", "click"}, {"page", 1}, {"x", click.x}, {"y", click.y}});
    });
  }
  for (const TimedText& text : options_.texts) {
    At(text.at, [this, text] {
      if (Window* window = FindWindow(1)) TypeText(*window->view, QString::fromStdString(text.text));
      WriteLine({{"kind", "type"}, {"page", 1}, {"text", text.text}});
    });
  }
  for (const TimedClose& close : options_.closes) At(close.at, [this, close] { ClosePage(close.page); });
  for (const double at : options_.processReports) {
    At(at, [] { WriteLine({{"kind", "processes"}, {"list", ProcessList()}}); });
  }
  if (options_.seconds > 0) At(options_.seconds, [this] { Finish(EndStatus(), "time is up"); });
}

void ShellRun::TakeScreenshot(const std::string& file) {
  Window* window = FindWindow(1);
  const bool saved = window != nullptr && window->view->grab().save(QString::fromStdString(file), "PNG");
  nlohmann::json line = {{"kind", "screenshot"}, {"page", 1}, {"path", file}};
  if (!saved) {
    line["error"] = "cannot write the screenshot";
    failed_ = true;
  }
  WriteLine(line);
}

void ShellRun::ClosePage(int number) {
  Window* window = FindWindow(number);
  WriteLine({{"kind", "close"}, {"page", number}, {"found", window != nullptr}});
  if (window == nullptr) return;
  window->liveElements.clear();  // the page goes, and its elements with it
  window->view->close();
  window->view.reset();
}

void ShellRun::OnReport(ShellPage* page, const nlohmann::json& report) {
  Window* window = FindWindow(page->Number());
  if (window == nullptr) return;
  const std::string kind = report.value("kind", "");
  const std::string id = report.contains("id") ? report["id"].dump() : std::string();
  if (kind == "created") window->liveElements.insert(id);
  if (kind == "destroyed") window->liveElements.erase(id);
  if (kind == "fail" || kind == "error") failed_ = true;
  if (kind == "input") PlayReportedInput(*window, report);
  if (kind == "done") Finish(EndStatus(), "page " + std::to_string(page->Number()) + " is done");
}

// A page asks for real input at a window position (a scenario's `input`).
void ShellRun::PlayReportedInput(Window& window, const nlohmann::json& report) {
  const QPoint at(report.value("x", 0), report.value("y", 0));
  const int button = report.value("button", 0);
  if (!PlayInput(*window.view, report.value("type", ""), at, button)) {
    WriteLine({{"kind", "error"}, {"page", window.number}, {"text", "cannot play input " + report.dump()}});
    failed_ = true;
  }
}

// The plug-in process lives as long as Chromium keeps the module loaded. If
// it goes while a page still holds plug-in elements, it died.
void ShellRun::WatchProcesses() {
  std::set<int> alive;
  for (const BrowserProcess& process : ListBrowserProcesses()) {
    if (process.type != "plugin") continue;
    alive.insert(process.pid);
    if (pluginPids_.count(process.pid) == 0) WriteLine({{"kind", "plugin-process"}, {"pid", process.pid}});
  }
  for (const int pid : pluginPids_) {
    if (alive.count(pid) != 0) continue;
    WriteLine({{"kind", "plugin-process-gone"}, {"pid", pid}, {"live_elements", LiveElements()}});
    if (LiveElements() > 0) Finish(3, "the plug-in process died");
  }
  pluginPids_ = alive;
}

void ShellRun::WatchCursors() {
  for (auto& window : windows_) {
    if (window->view == nullptr) continue;
    const std::string cursor = CursorName(RenderWidget(*window->view)->cursor().shape());
    if (cursor == window->cursor) continue;
    window->cursor = cursor;
    WriteLine({{"kind", "cursor"}, {"page", window->number}, {"shape", cursor}});
  }
}

// The status of a run that ends as planned: 1 when a page reported a failure.
int ShellRun::EndStatus() const { return failed_ ? 1 : 0; }

int ShellRun::LiveElements() const {
  int count = 0;
  for (const auto& window : windows_) count += static_cast<int>(window->liveElements.size());
  return count;
}

ShellRun::Window* ShellRun::FindWindow(int number) {
  for (auto& window : windows_) {
    if (window->number == number && window->view != nullptr) return window.get();
  }
  return nullptr;
}

void ShellRun::Finish(int status, const std::string& reason) {
  if (finished_) return;
  finished_ = true;
  processTimer_.stop();
  cursorTimer_.stop();
  WriteLine({{"kind", "processes"}, {"list", ProcessList()}});
  WriteLine({{"kind", "exit"}, {"status", status}, {"reason", reason}});
  QCoreApplication::exit(status);
}

}  // namespace tallwick_shell
