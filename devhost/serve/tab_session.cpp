#include "devhost/serve/tab_session.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <utility>

namespace pphost::serve {

namespace beast = boost::beast;
namespace websocket = beast::websocket;

namespace {
// Larger than any page message; a frame goes the other way.
constexpr size_t kMaxIncoming = size_t{1} << 20;
}  // namespace

TabSession::TabSession(boost::asio::ip::tcp::socket socket, PageBridge& bridge)
    : socket_(std::move(socket)), bridge_(bridge) {}

TabSession::~TabSession() { Close(); }

void TabSession::Start(beast::http::request<beast::http::string_body>&& request) {
  upgrade_ = std::move(request);
  // A picture is one message the tab waits for: sent at once, not held back
  // by Nagle's algorithm until the tab acknowledges the last segment.
  beast::get_lowest_layer(socket_).socket().set_option(boost::asio::ip::tcp::no_delay(true));
  socket_.read_message_max(kMaxIncoming);
  socket_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
  socket_.async_accept(upgrade_, [self = shared_from_this()](beast::error_code error) { self->OnAccept(error); });
}

void TabSession::OnAccept(beast::error_code error) {
  if (error) return;
  tab_ = bridge_.OpenTab(this);
  Read();
}

void TabSession::Read() {
  socket_.async_read(input_,
                     [self = shared_from_this()](beast::error_code error, size_t /*bytes*/) { self->OnRead(error); });
}

void TabSession::OnRead(beast::error_code error) {
  if (error) {
    Close();
    return;
  }
  if (socket_.got_text()) bridge_.FromTab(tab_, beast::buffers_to_string(input_.data()));
  input_.consume(input_.size());
  if (tab_ != 0) Read();
}

void TabSession::SendText(std::string text) { Queue(Outgoing{false, std::move(text), {}}); }

void TabSession::SendBinary(std::vector<uint8_t> bytes) { Queue(Outgoing{true, {}, std::move(bytes)}); }

void TabSession::Queue(Outgoing message) {
  if (tab_ == 0 || cutOff_) return;
  if (queue_.size() >= kMaxQueued) {
    // Sends come while the Host writes its output, so the tab is not closed
    // from here (that would call back into the Host); the read or write that
    // the closed socket fails closes it from the network loop.
    cutOff_ = true;
    socket_.next_layer().close();
    return;
  }
  queue_.push_back(std::move(message));
  if (!writing_) Write();
}

void TabSession::Write() {
  writing_ = true;
  const Outgoing& next = queue_.front();
  socket_.binary(next.binary);
  auto done = [self = shared_from_this()](beast::error_code error, size_t /*bytes*/) { self->OnWrite(error); };
  if (next.binary) {
    socket_.async_write(boost::asio::buffer(next.bytes), std::move(done));
  } else {
    socket_.async_write(boost::asio::buffer(next.text), std::move(done));
  }
}

void TabSession::OnWrite(beast::error_code error) {
  writing_ = false;
  if (error) {
    Close();
    return;
  }
  queue_.pop_front();
  if (!queue_.empty()) Write();
}

// The tab is gone (it closed, failed or fell behind): its instances go too.
void TabSession::Close() {
  if (tab_ == 0) return;
  const int tab = tab_;
  tab_ = 0;
  bridge_.CloseTab(tab);
}

}  // namespace pphost::serve
