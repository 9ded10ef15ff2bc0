#pragma once

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <memory>

#include "devhost/serve/origin_policy.h"
#include "devhost/serve/page_bridge.h"
#include "devhost/serve/web_root.h"

namespace pphost::serve {

// What every connection shares: the files, who may ask, and the bridge.
struct ServeContext {
  WebRoot root;
  OriginPolicy policy;
  PageBridge& bridge;
};

// One HTTP connection: serves files from the web root and /status, and hands
// an upgrade to /bridge over to a TabSession. A request that names another
// host or comes from another origin is refused with 403, a path outside the
// root with 404 (nothing tells what lies outside).
class HttpSession : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(boost::asio::ip::tcp::socket socket, const ServeContext& context);
  void Start();

 private:
  using Request = boost::beast::http::request<boost::beast::http::string_body>;

  void Read();
  void OnRead(boost::beast::error_code error);
  bool Allowed() const;
  void Upgrade();
  void ServeFile();
  void ServeStatus();
  void Refuse(boost::beast::http::status status, const char* text);
  template <class Response>
  void Send(std::shared_ptr<Response> response);

  boost::beast::tcp_stream stream_;
  const ServeContext& context_;
  boost::beast::flat_buffer buffer_;
  Request request_;
};

}  // namespace pphost::serve
