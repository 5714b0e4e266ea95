#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace ormel::testing_support {

/// A request as the server received it.
struct ReceivedRequest {
  std::string method;
  std::string target;
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  /// The value of the first header of that name (any letter case); empty when there is none.
  [[nodiscard]] std::string header(std::string_view name) const;
  [[nodiscard]] bool hasHeader(std::string_view name) const;
};

/// The server's side of one connection, for a responder to answer on.
class ServerConnection {
 public:
  explicit ServerConnection(int fd, const std::atomic<bool>& stopping) : m_fd(fd), m_stopping(stopping) {}
  /// Sends all of data; false once the client has gone or the server stops.
  bool send(std::string_view data);
  /// Makes the connection end with a reset instead of an orderly close.
  void reset();
  /// Sleeps, cut short when the server stops; false then.
  bool pause(std::chrono::milliseconds duration);
  [[nodiscard]] bool stopping() const { return m_stopping.load(); }

 private:
  int m_fd;
  const std::atomic<bool>& m_stopping;
};

/// Answers one request; the connection is closed when it returns.
using Responder = std::function<void(const ReceivedRequest&, ServerConnection&)>;

/// A complete response with the status, the headers given and the body; withContentLength adds
/// that header.
std::string httpResponse(int status, std::string_view body, bool withContentLength = true,
                         const std::vector<std::string>& headers = {});

/// A responder that always sends the same response.
Responder fixedResponse(std::string response);

/// An HTTP server on 127.0.0.1 and a port of its own, for the tests of this machine only. Each
/// connection is served on a thread of its own; all are ended and joined on destruction.
class LocalHttpServer {
 public:
  explicit LocalHttpServer(Responder responder);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  [[nodiscard]] int port() const { return m_port; }
  /// "http://127.0.0.1:<port>" followed by path.
  [[nodiscard]] std::string url(std::string_view path) const;
  /// The requests received so far, in order.
  [[nodiscard]] std::vector<ReceivedRequest> requests() const;

  /// A port on 127.0.0.1 where nothing listens.
  static int unusedPort();

 private:
  void acceptLoop();
  void serve(int fd);

  Responder m_responder;
  int m_listener = -1;
  int m_wakeRead = -1;
  int m_wakeWrite = -1;
  int m_port = 0;
  std::atomic<bool> m_stopping{false};
  mutable std::mutex m_mutex;
  std::vector<ReceivedRequest> m_requests;
  std::vector<std::thread> m_connections;
  std::thread m_acceptor;
};

}  // namespace ormel::testing_support
