#include "devhost/serve/server.h"

#include <csignal>
#include <memory>
#include <utility>

namespace pphost::serve {

namespace {
using boost::asio::ip::tcp;

// How long the module's loop runs between two looks at the network: short
// enough that a page's message waits no longer than this, long enough that an
// idle server sleeps.
constexpr int64_t kLoopSliceMs = 2;

tcp::endpoint Loopback(uint16_t port) { return {boost::asio::ip::address_v4::loopback(), port}; }
}  // namespace

Server::Server(uint16_t port, Host& host, PageBridge& bridge, const WebRoot& root)
    : acceptor_(io_, Loopback(port)),
      signals_(io_, SIGINT, SIGTERM),
      port_(acceptor_.local_endpoint().port()),
      host_(host),
      bridge_(bridge),
      context_{root, OriginPolicy(port_), bridge} {}

void Server::Run() {
  signals_.async_wait([this](const boost::system::error_code& /*error*/, int /*signal*/) { stopping_ = true; });
  Accept();
  while (!stopping_) {
    io_.poll();
    host_.Run(kLoopSliceMs);
    bridge_.SendFrames();
  }
}

void Server::Accept() {
  acceptor_.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
    if (!error) std::make_shared<HttpSession>(std::move(socket), context_)->Start();
    Accept();
  });
}

}  // namespace pphost::serve
