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
// How often the counts of repeated browser console lines are written.
constexpr int kRepeatFlushMs = 5000;

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

// A report's text under `key`: a string as it is, anything else as JSON, or
// `fallback` when it has none. (Reports come from the page: any value.)
std::string TextOf(const nlohmann::json& report, const char* key, const std::string& fallback) {
  const auto found = report.find(key);
  if (found == report.end() || found->is_null()) return fallback;
  return found->is_string() ? found->get<std::string>() : found->dump();
}

// A report's whole number under `key`, 0 when it has none.
int IntOf(const nlohmann::json& report, const char* key) {
  const auto found = report.find(key);
  if (found == report.end() || !found->is_number()) return 0;
  const double value = found->get<double>();
  return value >= -1e6 && value <= 1e6 ? static_cast<int>(value) : 0;
}

// " (source:line)" of a page error, when it names one.
std::string PlaceOf(const nlohmann::json& report) {
  const std::string source = TextOf(report, "source", "");
  if (source.empty()) return "";
  const std::string line = TextOf(report, "line", "0");
  return " (" + source + (line != "0" ? ":" + line : std::string()) + ")";
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
  connect(&processTimer_, &QTimer::timeout, this, &ShellRun::WatchProcesses);
  processTimer_.start(kProcessPollMs);
  connect(&cursorTimer_, &QTimer::timeout, this, &ShellRun::WatchCursors);
  cursorTimer_.start(kCursorPollMs);
  connect(&repeatTimer_, &QTimer::timeout, this, &ShellRun::FlushRepeats);
  repeatTimer_.start(kRepeatFlushMs);
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
  connect(page, &QWebEnginePage::loadFinished, this, [this, number](bool ok) { PageLoaded(number, ok); });
  const QUrl url = PageUrl(address);
  WriteLine({{"kind", "open"}, {"page", number}, {"url", url.toString().toStdString()}});
  window->view->load(url);
  window->view->show();
  windows_.push_back(std::move(window));
}

// The first page's first load starts the clock of the timed actions. A page
// that does not load is a page error.
void ShellRun::PageLoaded(int number, bool ok) {
  WriteLine({{"kind", "loaded"}, {"page", number}, {"ok", ok}});
  if (!ok) {
    Fail(number, "the page did not load");
    return Finish(1, "page " + std::to_string(number) + " has an error");
  }
  if (number != 1 || armed_) return;
  armed_ = true;
  ArmTimedActions();
}

void ShellRun::At(double seconds, std::function<void()> action) {
  auto timer = std::make_unique<QTimer>();
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
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
  if (!saved) line["error"] = "cannot write the screenshot";
  WriteLine(line);
  if (!saved) Fail(1, "cannot write the screenshot " + file);
}

void ShellRun::ClosePage(int number) {
  Window* window = FindWindow(number);
  WriteLine({{"kind", "close"}, {"page", number}, {"found", window != nullptr}});
  if (window == nullptr) return;
  window->liveElements.clear();  // the page goes, and its elements with it
  window->page->FlushRepeats();
  window->view->close();
  window->view.reset();
}

void ShellRun::OnReport(ShellPage* page, const nlohmann::json& report) {
  Window* window = FindWindow(page->Number());
  if (window == nullptr) return;
  const std::string kind = TextOf(report, "kind", "");
  const std::string id = report.contains("id") ? report["id"].dump() : std::string();
  if (kind == "created") window->liveElements.insert(id);
  if (kind == "destroyed") window->liveElements.erase(id);
  const int number = page->Number();
  if (kind == "fail" || kind == "error") Fail(number, TextOf(report, "text", kind + " reported"));
  if (kind == "input") PlayReportedInput(*window, report);
  if (kind == "done") Finish(EndStatus(), "page " + std::to_string(number) + " is done");
  if (kind == "page-error") {
    Fail(number, TextOf(report, "text", "an error") + PlaceOf(report));
    Finish(1, "page " + std::to_string(number) + " has an error");
  }
}

// A page asks for real input at a window position (a scenario's `input`).
void ShellRun::PlayReportedInput(Window& window, const nlohmann::json& report) {
  const QPoint at(IntOf(report, "x"), IntOf(report, "y"));
  const int button = IntOf(report, "button");
  if (!PlayInput(*window.view, TextOf(report, "type", ""), at, button)) {
    const std::string text = "cannot play input " + report.dump();
    WriteLine({{"kind", "error"}, {"page", window.number}, {"text", text}});
    Fail(window.number, text);
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

void ShellRun::FlushRepeats() {
  for (auto& window : windows_) {
    if (window->view != nullptr) window->page->FlushRepeats();
  }
}

void ShellRun::Fail(int page, const std::string& why) {
  if (failure_.empty()) failure_ = "page " + std::to_string(page) + ": " + why;
}

// The status of a run that ends as planned: 1 when a page failed.
int ShellRun::EndStatus() const { return failure_.empty() ? 0 : 1; }

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
  repeatTimer_.stop();
  FlushRepeats();
  WriteLine({{"kind", "processes"}, {"list", ProcessList()}});
  nlohmann::json exit = {{"kind", "exit"}, {"status", status}, {"reason", reason}};
  if (!failure_.empty()) exit["failure"] = failure_;
  WriteLine(exit);
  QCoreApplication::exit(status);
}

}  // namespace tallwick_shell
