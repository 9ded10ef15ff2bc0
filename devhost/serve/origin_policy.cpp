#include "devhost/serve/origin_policy.h"

#include <string>

namespace pphost::serve {

bool OriginPolicy::AllowsHost(std::string_view host) const {
  const std::string port = ":" + std::to_string(port_);
  return host == "127.0.0.1" + port || host == "localhost" + port;
}

bool OriginPolicy::AllowsOrigin(std::string_view origin) const {
  constexpr std::string_view kScheme = "http://";
  return origin.substr(0, kScheme.size()) == kScheme && AllowsHost(origin.substr(kScheme.size()));
}

}  // namespace pphost::serve
