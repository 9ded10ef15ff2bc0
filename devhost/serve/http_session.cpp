#include "devhost/serve/http_session.h"

#include <boost/beast/http/file_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <chrono>
#include <utility>

#include "devhost/serve/tab_session.h"

namespace pphost::serve {

namespace beast = boost::beast;
namespace http = beast::http;

namespace {
constexpr std::chrono::seconds kIdle{30};

template <class Response>
void SetCommonFields(Response& response, unsigned version, bool keepAlive) {
  response.version(version);
  response.keep_alive(keepAlive);
  response.set(http::field::server, "pphost");
  response.set(http::field::cache_control, "no-store");
  response.set("X-Content-Type-Options", "nosniff");
}
}  // namespace

HttpSession::HttpSession(boost::asio::ip::tcp::socket socket, const ServeContext& context)
    : stream_(std::move(socket)), context_(context) {}

void HttpSession::Start() { Read(); }

void HttpSession::Read() {
  request_ = {};
  stream_.expires_after(kIdle);
  http::async_read(stream_, buffer_, request_,
                   [self = shared_from_this()](beast::error_code error, size_t /*bytes*/) { self->OnRead(error); });
}

void HttpSession::OnRead(beast::error_code error) {
  if (error) {
    stream_.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, error);
    return;
  }
  if (!Allowed()) return Refuse(http::status::forbidden, "this server answers only its own pages\n");
  if (beast::websocket::is_upgrade(request_)) return Upgrade();
  if (request_.method() != http::verb::get && request_.method() != http::verb::head) {
    return Refuse(http::status::method_not_allowed, "GET or HEAD only\n");
  }
  if (request_.target() == "/status") return ServeStatus();
  ServeFile();
}

bool HttpSession::Allowed() const {
  if (!context_.policy.AllowsHost(request_[http::field::host])) return false;
  auto origin = request_.find(http::field::origin);
  return origin == request_.end() || context_.policy.AllowsOrigin(origin->value());
}

// A tab's bridge: only from a page of ours, which always sends its Origin.
void HttpSession::Upgrade() {
  if (request_.target() != "/bridge" || request_.find(http::field::origin) == request_.end()) {
    return Refuse(http::status::forbidden, "the bridge takes pages of this server only\n");
  }
  stream_.expires_never();
  std::make_shared<TabSession>(stream_.release_socket(), context_.bridge)->Start(std::move(request_));
}

void HttpSession::ServeFile() {
  std::optional<std::filesystem::path> file = context_.root.Resolve(request_.target());
  if (!file) return Refuse(http::status::not_found, "not found\n");
  http::file_body::value_type body;
  beast::error_code error;
  body.open(file->c_str(), beast::file_mode::scan, error);
  if (error) return Refuse(http::status::not_found, "not found\n");
  auto response = std::make_shared<http::response<http::file_body>>(http::status::ok, request_.version());
  SetCommonFields(*response, request_.version(), request_.keep_alive());
  response->set(http::field::content_type, MimeType(*file));
  if (request_.method() == http::verb::head) {
    response->content_length(body.size());
  } else {
    response->body() = std::move(body);
    response->prepare_payload();
  }
  Send(std::move(response));
}

void HttpSession::ServeStatus() {
  auto response = std::make_shared<http::response<http::string_body>>(http::status::ok, request_.version());
  SetCommonFields(*response, request_.version(), request_.keep_alive());
  response->set(http::field::content_type, "application/json");
  response->body() = DumpLine(context_.bridge.Status()) + "\n";
  response->prepare_payload();
  Send(std::move(response));
}

void HttpSession::Refuse(http::status status, const char* text) {
  auto response = std::make_shared<http::response<http::string_body>>(status, request_.version());
  SetCommonFields(*response, request_.version(), false);
  response->set(http::field::content_type, "text/plain; charset=utf-8");
  response->body() = text;
  response->prepare_payload();
  Send(std::move(response));
}

template <class Response>
void HttpSession::Send(std::shared_ptr<Response> response) {
  http::async_write(stream_, *response,
                    [self = shared_from_this(), response](beast::error_code error, size_t /*bytes*/) {
                      if (!error && response->keep_alive()) return self->Read();
                      self->stream_.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, error);
                    });
}

}  // namespace pphost::serve
