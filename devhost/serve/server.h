#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <cstdint>

#include "devhost/host.h"
#include "devhost/serve/http_session.h"

namespace pphost::serve {

// Accepts connections on 127.0.0.1 and drives the Host between them: one
// thread serves the network and the module's main loop by turns, so every
// call into the Host and the bridge happens on it.
class Server {
 public:
  Server(uint16_t port, Host& host, PageBridge& bridge, const WebRoot& root);

  // The port listened on (the one asked for, or the one given for 0).
  uint16_t Port() const { return port_; }

  // Serves until SIGINT or SIGTERM.
  void Run();

 private:
  void Accept();

  boost::asio::io_context io_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::signal_set signals_;
  uint16_t port_;
  Host& host_;
  PageBridge& bridge_;
  ServeContext context_;
  bool stopping_ = false;
};

}  // namespace pphost::serve
