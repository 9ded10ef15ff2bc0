#include "page_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tallwick_fuzz {

namespace {

using pphost::Json;

constexpr int kMaxFps = 120;

const Json& Field(const Json& dict, const char* key) {
  static const Json kNone;
  if (!dict.is_object()) return kNone;
  const auto it = dict.find(key);
  return it != dict.end() ? *it : kNone;
}

int64_t AsInt(const Json& value) {
  if (value.is_number_integer()) return value.get<int64_t>();
  if (!value.is_number()) return 0;
  const double d = value.get<double>();
  if (std::isnan(d)) return 0;
  return static_cast<int64_t>(std::clamp(d, -2147483648.0, 2147483647.0));
}

double AsDouble(const Json& value) { return value.is_number() ? value.get<double>() : 0.0; }
bool AsBool(const Json& value) { return value.is_boolean() && value.get<bool>(); }
std::string AsString(const Json& value) { return value.is_string() ? value.get<std::string>() : std::string(); }

const Json& DataOf(const Json& msg) {
  static const Json kEmpty = Json::object();
  const Json& data = Field(msg, "data");
  return data.is_object() ? data : kEmpty;
}

// The interval an INIT's "fps" gives; anything but a positive number keeps
// `current`.
double IntervalFor(const Json& data, double current) {
  const int64_t fps = AsInt(Field(data, "fps"));
  if (fps <= 0) return current;
  return 1000.0 / static_cast<double>(std::min<int64_t>(fps, kMaxFps));
}

std::optional<size_t> StreamOfPath(const std::string& path) {
  for (size_t i = 0; i <= kStreamCount; ++i) {
    if (path == StreamPath(i)) return i;
  }
  return std::nullopt;
}

PageModel::Tile TileOf(const Json& item) {
  const Json& config = Field(item, "renderConfig");
  return {AsString(Field(item, "userId")) + "_CAMERA", AsDouble(Field(config, "left")), AsDouble(Field(config, "top")),
          AsDouble(Field(config, "width")), AsDouble(Field(config, "height"))};
}

}  // namespace

std::string StreamKey(const std::string& uid, bool isScreen, bool isMerge) {
  return uid + (isScreen ? "_SCREEN" : isMerge ? "_MERGE" : "_CAMERA");
}

void PageModel::Reset() {
  for (auto& [role, element] : elements_) element = Element{};
  ever_.clear();
  backgrounds_.clear();
  selfKeys_.insert({"_CAMERA", "_SCREEN"});
}

void PageModel::Recreated(char role) {
  if (elements_.count(role) != 0) elements_[role] = Element{};
}

void PageModel::ContextLost(char role) {
  if (elements_.count(role) != 0) elements_[role].lost = true;
}

void PageModel::ErrorPosted(char role, int code) {
  constexpr int kFrameUndrawable = 24;
  if (elements_.count(role) != 0 && code != kFrameUndrawable) elements_[role].failed = true;
}

std::set<size_t> PageModel::StreamsEverUnder(const std::string& key) const {
  const auto it = ever_.find(key);
  return it != ever_.end() ? it->second : std::set<size_t>{};
}

void PageModel::Message(char role, const Json& msg, const Json* reply) {
  NoteColours(msg);
  if (reply == nullptr) return;
  const Json& command = Field(msg, "command");
  if (!command.is_string()) return;
  const int error = static_cast<int>(AsInt(Field(*reply, "error")));
  const Json& data = DataOf(msg);
  if (role == 'c') {
    if (error == 0) ControllerMessage(command.get<std::string>(), data);
  } else if (role == 'r') {
    RenderMessage(elements_[role], command.get<std::string>(), data, error);
  } else if (role == 'g') {
    GalleryMessage(elements_[role], command.get<std::string>(), data, error);
  }
}

// Only adds are followed: a stream once under a key stays possible there
// for the rest of the input, as a picture drawn from it may stay on screen.
void PageModel::ControllerMessage(const std::string& command, const Json& data) {
  if (command == "SET_MEETING_INFO" || command == "INIT") {
    const std::string uid = AsString(Field(data, "selfUid"));
    selfKeys_.insert({StreamKey(uid, false, false), StreamKey(uid, true, false)});
  }
  if (command != "DO_UPDATE_SHARED_MEMORY" || AsInt(Field(data, "op")) != 0) return;
  const Json& diffs = Field(data, "diffs");
  if (!diffs.is_array()) return;
  for (const Json& diff : diffs) {
    if (AsInt(Field(diff, "frameFormat")) == 1) continue;
    const auto stream = StreamOfPath(AsString(Field(diff, "path")));
    if (!stream) continue;
    const std::string key =
        StreamKey(AsString(Field(diff, "uid")), AsBool(Field(diff, "isScreen")), AsBool(Field(diff, "isMerge")));
    ever_[key].insert(*stream);
  }
}

void PageModel::RenderMessage(Element& element, const std::string& command, const Json& data, int error) {
  if (error != 0) return;
  if (command == "INIT") {
    const bool isMerge = AsBool(Field(data, "isMerge"));
    const std::string uid = isMerge ? "merge" : AsString(Field(data, "uid"));
    const bool isScreen = AsBool(Field(data, "isScreen"));
    element.keys = {StreamKey(uid, isScreen, isMerge)};
    // A stream of the local user may become the controller's own key, which
    // a preview or a local screen share follows (SelfKeys).
    if (AsBool(Field(data, "isSelf"))) selfKeys_.insert(element.keys.begin(), element.keys.end());
    element.everKeys.insert(element.keys.begin(), element.keys.end());
    element.mayWaitForever = element.mayWaitForever || element.everStarted;
    element.inited = true;
    element.started = false;
    element.lost = false;
    element.failed = false;
    element.dpr = AsDouble(Field(data, "dpr"));
    element.intervalMs = IntervalFor(data, 50.0);
    element.longestIntervalMs = std::max(element.longestIntervalMs, element.intervalMs);
  } else if (command == "START_RENDER") {
    element.started = true;
    element.everStarted = true;
  } else if (command == "STOP_RENDER" || command == "RESET") {
    element.started = false;
  }
}

void PageModel::GalleryMessage(Element& element, const std::string& command, const Json& data, int error) {
  if (command == "INIT" && error == 0) {
    element.inited = true;
    element.lost = false;
    element.failed = false;
    element.dpr = AsDouble(Field(data, "dpr"));
    element.intervalMs = IntervalFor(data, element.intervalMs);
    element.longestIntervalMs = std::max(element.longestIntervalMs, element.intervalMs);
  } else if (command == "START_RENDER" && (error == 0 || error == 6)) {
    element.started = true;
  } else if (command == "STOP_RENDER" && error == 0) {
    element.started = false;
  } else if (command == "UPDATE_MULTI_INFOS" && error == 0) {
    element.layout.clear();
    const Json& items = Field(data, "renderInfos");
    if (!items.is_array()) return;
    for (const Json& item : items) {
      // A later item with the same key replaces an earlier one, as in the
      // element, which keeps one tile a key.
      const Tile tile = TileOf(item);
      const auto same = std::find_if(element.layout.begin(), element.layout.end(),
                                     [&](const Tile& shown) { return shown.key == tile.key; });
      if (same != element.layout.end()) {
        *same = tile;
      } else {
        element.layout.push_back(tile);
      }
    }
    element.everTiles.insert(element.everTiles.end(), element.layout.begin(), element.layout.end());
  }
}

void PageModel::NoteColours(const Json& value) {
  if (value.is_object()) {
    for (const auto& item : value.items()) NoteColours(item.value());
    return;
  }
  if (!value.is_array()) return;
  if (value.size() >= 3 && value[0].is_number() && value[1].is_number() && value[2].is_number()) {
    const auto channel = [&](size_t i, double scale) {
      return static_cast<int>(std::clamp(value[i].get<double>() * scale, 0.0, 255.0) + 0.5);
    };
    backgrounds_.push_back({channel(0, 255), channel(1, 255), channel(2, 255)});
    backgrounds_.push_back({channel(0, 1), channel(1, 1), channel(2, 1)});
  }
  for (const Json& item : value) NoteColours(item);
}

}  // namespace tallwick_fuzz
