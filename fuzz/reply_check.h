#pragma once

#include <optional>
#include <string>

#include "devhost/json.h"

namespace tallwick_fuzz {

// Every request that reaches an element with a role gets exactly one reply,
// while the host delivers it, with the request's "command" as "response"
// and its "custom" unchanged; no reply comes at any other time. A broken
// rule is a finding.
class ReplyCheck {
 public:
  // The harness is about to deliver `request` to the element `id`.
  void Expect(const std::string& id, const pphost::Json& request);
  // An output line of the host.
  void Line(const std::string& line);
  // The delivery is over: returns the one reply.
  pphost::Json Done();

 private:
  std::optional<std::string> id_;
  pphost::Json request_;
  pphost::Json reply_;
  int replies_ = 0;
};

}  // namespace tallwick_fuzz
