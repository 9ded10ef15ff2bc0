#include "devhost/serve/page_bridge.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <string_view>
#include <utility>

namespace pphost::serve {
namespace {

// The ops a tab may ask for: what a page does to its own elements. The rest
// (run, snapshot, shutdown, clock, faults) belong to whoever drives the Host.
constexpr std::array<std::string_view, 5> kPageOps{"create", "view", "message", "input", "destroy"};

bool IsPageOp(const std::string& op) {
  for (std::string_view allowed : kPageOps) {
    if (op == allowed) return true;
  }
  return false;
}

std::string PageId(int tab, const std::string& element) { return std::to_string(tab) + "/" + element; }

// The tab and element a page id names; tab 0 when it names none.
std::pair<int, std::string> SplitPageId(const Json& id) {
  if (!id.is_string()) return {0, ""};
  const std::string& text = id.get_ref<const std::string&>();
  const size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash > 9) return {0, ""};
  for (size_t i = 0; i < slash; ++i) {
    if (text[i] < '0' || text[i] > '9') return {0, ""};
  }
  return {std::stoi(text.substr(0, slash)), text.substr(slash + 1)};
}

std::string ErrorText(const std::string& text) { return DumpLine(Json{{"kind", "error"}, {"text", text}}); }

// Now, in ms since 1970, as a page's performance.timeOrigin + now() reads it.
double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void AppendLength(std::vector<uint8_t>& out, uint32_t length) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(length >> shift));
}

}  // namespace

PageBridge::PageBridge(FrameEncoder encoder, bool fitToView) : encoder_(encoder), fitToView_(fitToView) {}

LineSink PageBridge::Sink() {
  return [this](const std::string& line) { FromHost(line); };
}

void PageBridge::Attach(Host* host) { host_ = host; }

int PageBridge::OpenTab(TabLink* link) {
  const int tab = nextTab_++;
  tabs_[tab].link = link;
  return tab;
}

void PageBridge::CloseTab(int tab) {
  auto found = tabs_.find(tab);
  if (found == tabs_.end()) return;
  found->second.link = nullptr;  // what the instances post while they go is dropped
  speaking_ = tab;
  for (const auto& [element, state] : found->second.elements) {
    if (state.created) host_->Execute(DumpLine(Json{{"op", "destroy"}, {"id", PageId(tab, element)}}));
  }
  speaking_ = 0;
  tabs_.erase(tab);
}

void PageBridge::FromTab(int tab, const std::string& text) {
  if (tabs_.count(tab) == 0) return;  // closed: it owns nothing any more
  Json request = Json::parse(text, nullptr, false);
  if (!request.is_object() || !request.contains("op") || !request["op"].is_string()) {
    Reply(tab, ErrorText("a tab's message must be a JSON object with a string \"op\""));
    return;
  }
  const std::string op = request["op"];
  if (op == "drawn") {
    Drawn(tabs_.at(tab), request);
  } else if (!IsPageOp(op)) {
    Reply(tab, ErrorText("op \"" + op + "\" is not one a page may send"));
  } else if (!request.contains("id") || !request["id"].is_string()) {
    Reply(tab, ErrorText(op + ": \"id\" must be a string"));
  } else {
    Carry(tab, std::move(request));
  }
}

void PageBridge::Carry(int tab, Json request) {
  const std::string element = request["id"];
  const std::string pageId = PageId(tab, element);
  request["id"] = pageId;
  const std::string op = request["op"];
  speaking_ = tab;
  const bool done = host_->Execute(DumpLine(request));
  speaking_ = 0;
  if (!done) return;
  if (op == "destroy") tabs_.at(tab).elements.erase(element);
  if (op == "view") RememberView(tabs_.at(tab), element, request);
}

// The Host took the view, so its rectangle is four numbers; the scale is
// optional (1) and the Host kept it within bounds.
void PageBridge::RememberView(Tab& tab, const std::string& element, const Json& request) {
  auto found = tab.elements.find(element);
  if (found == tab.elements.end()) return;
  const Json& rect = request["rect"];
  const double scale = request.contains("scale") && request["scale"].is_number() ? request["scale"].get<double>() : 1.0;
  auto pixels = [scale](const Json& size) {
    return static_cast<int32_t>(std::clamp(std::ceil(size.get<double>() * scale), 0.0, 16384.0));
  };
  found->second.view = ViewPixels{pixels(rect[2]), pixels(rect[3])};
}

void PageBridge::Drawn(Tab& tab, const Json& request) {
  if (!request.contains("id") || !request["id"].is_string()) return;
  auto found = tab.elements.find(request["id"].get<std::string>());
  if (found != tab.elements.end()) found->second.drawing = false;
}

void PageBridge::FromHost(const std::string& line) {
  Json parsed = Json::parse(line, nullptr, false);
  if (parsed.is_object()) Route(std::move(parsed));
}

void PageBridge::Route(Json line) {
  const std::string kind = line.value("kind", "");
  if (kind == "ack" || kind == "shutdown") return;
  auto [tabNumber, element] = SplitPageId(line.value("id", Json()));
  if (tabNumber == 0) tabNumber = speaking_;  // an `error` names no instance
  auto tab = tabs_.find(tabNumber);
  if (tab == tabs_.end()) return;
  if (kind == "present") {
    auto shown = tab->second.elements.find(element);
    if (shown != tab->second.elements.end()) shown->second.fresh = true;
    return;
  }
  if (kind == "created") tab->second.elements[element].created = true;
  Forward(tab->second, element, std::move(line));
}

void PageBridge::Forward(Tab& tab, const std::string& element, Json line) {
  if (tab.link == nullptr) return;
  if (line.contains("id")) line["id"] = element;
  if (line.contains("seq")) line.erase("seq");  // the Host's line count means nothing to a tab
  tab.link->SendText(DumpLine(line));
}

void PageBridge::Reply(int tab, const std::string& text) {
  auto found = tabs_.find(tab);
  if (found != tabs_.end() && found->second.link != nullptr) found->second.link->SendText(text);
}

void PageBridge::SendFrames() {
  for (auto& [number, tab] : tabs_) {
    for (auto& [element, state] : tab.elements) {
      if (state.fresh && !state.drawing) SendFrame(number, element);
    }
  }
}

void PageBridge::SendFrame(int tab, const std::string& element) {
  Element& state = tabs_.at(tab).elements.at(element);
  state.fresh = false;
  std::optional<Presentation> shown = host_->LastPresented(PageId(tab, element));
  if (!shown || shown->image.Empty()) return;
  state.drawing = true;
  const PresentedImage& picture = fitToView_ ? FitToView(shown->image, state.view, scaled_) : shown->image;
  tabs_.at(tab).link->SendBinary(FrameMessage(element, picture, shown->swaps));
}

// A frame message: the header's length (4 bytes, little-endian), the header
// (JSON: id, width, height, encoding, n, sent) and the encoded picture.
std::vector<uint8_t> PageBridge::FrameMessage(const std::string& element, const PresentedImage& picture,
                                              int64_t swaps) {
  const std::string header = DumpLine(Json{{"id", element},
                                           {"width", picture.width},
                                           {"height", picture.height},
                                           {"encoding", encoder_.Name()},
                                           {"n", swaps},
                                           {"sent", WallMs()}});
  std::vector<uint8_t> message;
  message.reserve(4 + header.size() + picture.rgba.size() / 4);
  AppendLength(message, static_cast<uint32_t>(header.size()));
  message.insert(message.end(), header.begin(), header.end());
  encoder_.Encode(picture, message);
  return message;
}

Json PageBridge::Status() const {
  size_t elements = 0;
  for (const auto& [number, tab] : tabs_) elements += tab.elements.size();
  const LiveCounts live = host_->Live();
  return Json{{"tabs", tabs_.size()},
              {"elements", elements},
              {"live_vars", live.vars},
              {"live_resources", live.resources},
              {"live_contexts", live.contexts}};
}

}  // namespace pphost::serve
