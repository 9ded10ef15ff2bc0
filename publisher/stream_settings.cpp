#include "publisher/stream_settings.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <sstream>

#include "frame/frame_layout.h"

namespace tallwick::publisher {

namespace {

bool ToInt(const std::string& text, int32_t low, int32_t high, int32_t* out) {
  try {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < low || value > high) return false;
    *out = static_cast<int32_t>(value);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ToBool(const std::string& text, bool* out) {
  if (text == "1" || text == "true" || text == "yes") {
    *out = true;
  } else if (text == "0" || text == "false" || text == "no") {
    *out = false;
  } else {
    return false;
  }
  return true;
}

// How a key sets its field, and what it takes (for the error message).
struct Key {
  std::function<bool(StreamSettings&, const std::string&)> set;
  std::string expects;
};

Key IntField(int32_t StreamSettings::*field, int32_t low, int32_t high) {
  return {[field, low, high](StreamSettings& spec, const std::string& value) {
            return ToInt(value, low, high, &(spec.*field));
          },
          "a whole number from " + std::to_string(low) + " to " + std::to_string(high)};
}

Key BoolField(bool StreamSettings::*field) {
  return {[field](StreamSettings& spec, const std::string& value) { return ToBool(value, &(spec.*field)); },
          "1, true, yes, 0, false or no"};
}

Key TextField(std::string StreamSettings::*field, size_t longest = std::string::npos) {
  return {[field, longest](StreamSettings& spec, const std::string& value) {
            spec.*field = value;
            return value.size() <= longest;
          },
          longest == std::string::npos ? "any text" : "at most " + std::to_string(longest) + " characters"};
}

// The segment list carries these as JSON strings, which must be UTF-8.
bool IsUtf8(const std::string& text) {
  try {
    static_cast<void>(nlohmann::json(text).dump());
    return true;
  } catch (const nlohmann::json::type_error&) {
    return false;
  }
}

Key ListedField(std::string StreamSettings::*field) {
  return {[field](StreamSettings& spec, const std::string& value) {
            spec.*field = value;
            return IsUtf8(value);
          },
          "UTF-8 text"};
}

Key FormatField() {
  return {[](StreamSettings& spec, const std::string& value) {
            spec.format = ParseFormat(value);
            return spec.format >= 0;
          },
          "I420 or NV12"};
}

const std::map<std::string, Key>& Keys() {
  static const std::map<std::string, Key> keys = {
      {"name", ListedField(&StreamSettings::name)},
      {"uid", ListedField(&StreamSettings::uid)},
      {"sid", ListedField(&StreamSettings::sid)},
      {"screen", BoolField(&StreamSettings::isScreen)},
      {"width", IntField(&StreamSettings::width, 2, kMaxPictureSide)},
      {"height", IntField(&StreamSettings::height, 2, kMaxPictureSide)},
      {"format", FormatField()},
      {"padding", IntField(&StreamSettings::padding, 0, 4096)},
      {"rotation", IntField(&StreamSettings::rotation, -360, 360)},
      {"flip", BoolField(&StreamSettings::flip)},
      {"pattern", TextField(&StreamSettings::pattern)},
      {"label", TextField(&StreamSettings::label, kMaxLabelLength)},
      {"stop-after", IntField(&StreamSettings::stopAfter, 0, 1 << 30)},
      {"pause-at", IntField(&StreamSettings::pauseAt, 0, 1 << 30)},
      {"pause-ms", IntField(&StreamSettings::pauseMs, 0, 1 << 30)},
      {"die-at", IntField(&StreamSettings::dieAt, 0, 1 << 30)},
  };
  return keys;
}

std::string KeyNames() {
  std::string names;
  for (const auto& key : Keys()) names += (names.empty() ? "" : ", ") + key.first;
  return names;
}

}  // namespace

int32_t ParseFormat(const std::string& text) {
  if (text == "I420" || text == "i420") return tallwick::frame::kFormatI420;
  if (text == "NV12" || text == "nv12") return tallwick::frame::kFormatNV12;
  return -1;
}

bool ParseStreamSettings(const std::string& text, StreamSettings* spec, std::string* error) {
  std::stringstream items(text);
  for (std::string item; std::getline(items, item, ';');) {
    const size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    const auto key = Keys().find(name);
    if (equals == std::string::npos || key == Keys().end()) {
      *error = "unknown stream setting \"" + item + "\" (settings are key=value: " + KeyNames() + ")";
      return false;
    }
    if (!key->second.set(*spec, item.substr(equals + 1))) {
      *error = "bad value in \"" + item + "\": ";
      *error += name + " takes " + key->second.expects;
      return false;
    }
  }
  if (spec->name.empty()) {
    *error = "a stream needs name=<segment name>";
    return false;
  }
  return true;
}

}  // namespace tallwick::publisher
