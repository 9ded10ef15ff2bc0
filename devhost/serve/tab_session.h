#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "devhost/serve/page_bridge.h"
#include "devhost/serve/tab_link.h"

namespace pphost::serve {

// One browser tab's WebSocket: its text messages go to the bridge, and what
// the bridge sends goes out in order, one write at a time. A tab that lets
// more than kMaxQueued messages pile up unread is cut off; frames never pile
// up (the bridge sends the next only once the last was drawn).
class TabSession : public std::enable_shared_from_this<TabSession>, public TabLink {
 public:
  static constexpr size_t kMaxQueued = 4096;

  TabSession(boost::asio::ip::tcp::socket socket, PageBridge& bridge);
  ~TabSession() override;
  TabSession(const TabSession&) = delete;
  TabSession& operator=(const TabSession&) = delete;

  // Completes the upgrade that `request` asked for, then serves the tab.
  void Start(boost::beast::http::request<boost::beast::http::string_body>&& request);

  void SendText(std::string text) override;
  void SendBinary(std::vector<uint8_t> bytes) override;

 private:
  struct Outgoing {
    bool binary = false;
    std::string text;
    std::vector<uint8_t> bytes;
  };

  void OnAccept(boost::beast::error_code error);
  void Read();
  void OnRead(boost::beast::error_code error);
  void Queue(Outgoing message);
  void Write();
  void OnWrite(boost::beast::error_code error);
  void Close();

  boost::beast::websocket::stream<boost::beast::tcp_stream> socket_;
  PageBridge& bridge_;
  boost::beast::http::request<boost::beast::http::string_body> upgrade_;  // kept while it is answered
  boost::beast::flat_buffer input_;
  std::deque<Outgoing> queue_;
  bool writing_ = false;
  int tab_ = 0;          // 0 while not open
  bool cutOff_ = false;  // fell behind: the socket is closed, the tab not yet
};

}  // namespace pphost::serve
