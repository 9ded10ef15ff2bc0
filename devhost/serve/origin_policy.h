#pragma once

#include <cstdint>
#include <string_view>

namespace pphost::serve {

// Who may talk to the server. It listens on loopback only, and a page from
// any other origin must not reach the module through the visitor's browser:
// requests must name this server in Host (which defeats DNS rebinding) and,
// when they carry an Origin, come from a page this server served.
class OriginPolicy {
 public:
  explicit OriginPolicy(uint16_t port) : port_(port) {}

  // `host` as the Host header gives it: "127.0.0.1:8080" or "localhost:8080".
  bool AllowsHost(std::string_view host) const;
  // `origin` as the Origin header gives it: "http://127.0.0.1:8080".
  bool AllowsOrigin(std::string_view origin) const;

 private:
  uint16_t port_;
};

}  // namespace pphost::serve
