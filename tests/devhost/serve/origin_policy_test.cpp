// Who may reach the server: requests that name it in Host, from pages it served.
#include "devhost/serve/origin_policy.h"

#include <gtest/gtest.h>

namespace pphost::serve {
namespace {

TEST(OriginPolicy, HostMustNameThisServerWithItsPort) {
  const OriginPolicy policy(8123);
  EXPECT_TRUE(policy.AllowsHost("127.0.0.1:8123"));
  EXPECT_TRUE(policy.AllowsHost("localhost:8123"));
  for (const char* host : {"127.0.0.1:8124", "127.0.0.1:812", "127.0.0.1:81234", "127.0.0.1", "localhost",
                           "evil.com:8123", "127.0.0.1:8123.evil.com", "localhost:8123.evil.com", "127.0.0.2:8123",
                           "[::1]:8123", "0.0.0.0:8123", "127.0.0.1 :8123", ""}) {
    EXPECT_FALSE(policy.AllowsHost(host)) << host;
  }
}

TEST(OriginPolicy, OriginMustBeAPageOfThisServer) {
  const OriginPolicy policy(8123);
  EXPECT_TRUE(policy.AllowsOrigin("http://127.0.0.1:8123"));
  EXPECT_TRUE(policy.AllowsOrigin("http://localhost:8123"));
  for (const char* origin : {"https://127.0.0.1:8123", "http://evil.com", "http://evil.com:8123",
                             "http://127.0.0.1:8123.evil.com", "http://127.0.0.1:8124", "http://127.0.0.1",
                             "127.0.0.1:8123", "http://", "null", "", "file://", "ws://127.0.0.1:8123"}) {
    EXPECT_FALSE(policy.AllowsOrigin(origin)) << origin;
  }
}

}  // namespace
}  // namespace pphost::serve
