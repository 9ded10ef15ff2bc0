#include "reply_check.h"

#include "finding.h"

namespace tallwick_fuzz {

namespace {

using pphost::Json;

constexpr const char* kPostPrefix = R"({"kind":"post",)";

// The value under `key`, null when there is none. The host writes an
// undefined var as {"$undefined": true} both ways, and a missing key reads
// as undefined.
Json ValueOf(const Json& dict, const char* key) {
  static const Json kUndefined = {{"$undefined", true}};
  if (!dict.is_object()) return nullptr;
  const auto it = dict.find(key);
  return it == dict.end() || *it == kUndefined ? Json(nullptr) : *it;
}

}  // namespace

void ReplyCheck::Expect(const std::string& id, const Json& request) {
  id_ = id;
  request_ = request;
  reply_ = nullptr;
  replies_ = 0;
}

void ReplyCheck::Line(const std::string& line) {
  if (line.rfind(kPostPrefix, 0) != 0 || line.find("\"response\"") == std::string::npos) return;
  const Json post = Json::parse(line);
  const Json& msg = post.at("msg");
  if (!msg.is_object() || !msg.contains("response")) return;
  const std::string from = post.at("id").dump();
  if (!id_ || from != *id_)
    Finding("one reply per request", "a reply that no request asked for, from " + from + ": " + msg.dump());
  if (++replies_ > 1) Finding("one reply per request", "a second reply to " + request_.dump() + ": " + msg.dump());
  if (ValueOf(msg, "response") != ValueOf(request_, "command") ||
      ValueOf(msg, "custom") != ValueOf(request_, "custom")) {
    Finding("one reply per request", "the reply " + msg.dump() + " does not echo the request " + request_.dump());
  }
  reply_ = msg;
}

Json ReplyCheck::Done() {
  if (!id_) return nullptr;
  if (replies_ != 1) Finding("one reply per request", "no reply to " + request_.dump() + " sent to " + *id_);
  id_.reset();
  return reply_;
}

}  // namespace tallwick_fuzz
