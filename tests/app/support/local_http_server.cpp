#include "app/support/local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "base/text.h"

namespace ormel::testing_support {

namespace {

constexpr std::size_t kMaxRequestSize = 1 << 20;

sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int boundSocket(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address = loopback(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    throw std::runtime_error("bind failed");
  }
  return fd;
}

int portOf(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// Reads a request head and its body (by Content-Length); false when the client went away first.
bool readRequest(int fd, const std::atomic<bool>& stopping, ReceivedRequest& request) {
  std::string data;
  std::size_t headEnd = std::string::npos;
  std::size_t bodyLength = 0;
  while (!stopping) {
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + bodyLength) break;
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
    if (received <= 0) return false;
    data.append(buffer, static_cast<std::size_t>(received));
    if (data.size() > kMaxRequestSize) return false;
    if (headEnd != std::string::npos) continue;
    headEnd = data.find("\r\n\r\n");
    if (headEnd == std::string::npos) continue;
    std::string_view head(data.data(), headEnd);
    std::size_t lineEnd = head.find("\r\n");
    const std::string_view requestLine = head.substr(0, lineEnd);
    const std::size_t firstBlank = requestLine.find(' ');
    const std::size_t lastBlank = requestLine.rfind(' ');
    request.method = std::string(requestLine.substr(0, firstBlank));
    request.target = std::string(requestLine.substr(firstBlank + 1, lastBlank - firstBlank - 1));
    request.version = std::string(requestLine.substr(lastBlank + 1));
    while (lineEnd != std::string_view::npos) {
      head.remove_prefix(lineEnd + 2);
      lineEnd = head.find("\r\n");
      const std::string_view line = head.substr(0, lineEnd);
      const std::size_t colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      request.headers.emplace_back(std::string(line.substr(0, colon)),
                                   std::string(trimmed(line.substr(colon + 1))));
    }
    bodyLength =
        static_cast<std::size_t>(std::strtoull(request.header("Content-Length").c_str(), nullptr, 10));
  }
  if (headEnd == std::string::npos) return false;
  request.body = data.substr(headEnd + 4, bodyLength);
  return true;
}

}  // namespace

std::string ReceivedRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (sameTextAscii(key, name)) return value;
  }
  return {};
}

bool ReceivedRequest::hasHeader(std::string_view name) const {
  for (const auto& entry : headers) {
    if (sameTextAscii(entry.first, name)) return true;
  }
  return false;
}

bool ServerConnection::send(std::string_view data) {
  while (!data.empty()) {
    if (m_stopping) return false;
    pollfd ready{m_fd, POLLOUT, 0};
    if (::poll(&ready, 1, 50) <= 0) continue;
    const ssize_t sent = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void ServerConnection::reset() {
  const linger abortive{1, 0};
  ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

bool ServerConnection::pause(std::chrono::milliseconds duration) {
  const auto until = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < until) {
    if (m_stopping) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return !m_stopping;
}

std::string httpResponse(int status, std::string_view body, bool withContentLength,
                         const std::vector<std::string>& headers) {
  std::string response = "HTTP/1.0 " + std::to_string(status) + " Status\r\n";
  if (withContentLength) response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  for (const std::string& header : headers) response += header + "\r\n";
  response += "\r\n";
  response += body;
  return response;
}

Responder fixedResponse(std::string response) {
  return [response = std::move(response)](const ReceivedRequest&, ServerConnection& connection) {
    connection.send(response);
  };
}

LocalHttpServer::LocalHttpServer(Responder responder) : m_responder(std::move(responder)) {
  m_listener = boundSocket(0);
  ::listen(m_listener, 16);
  m_port = portOf(m_listener);
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  m_wakeRead = pipeEnds[0];
  m_wakeWrite = pipeEnds[1];
  m_acceptor = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
  m_stopping = true;
  const char wake = 0;
  static_cast<void>(::write(m_wakeWrite, &wake, 1));
  m_acceptor.join();
  for (std::thread& connection : m_connections) connection.join();
  ::close(m_listener);
  ::close(m_wakeRead);
  ::close(m_wakeWrite);
}

std::string LocalHttpServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::vector<ReceivedRequest> LocalHttpServer::requests() const {
  std::lock_guard lock(m_mutex);
  return m_requests;
}

int LocalHttpServer::unusedPort() {
  const int fd = boundSocket(0);
  const int port = portOf(fd);
  ::close(fd);
  return port;
}

void LocalHttpServer::acceptLoop() {
  while (!m_stopping) {
    pollfd ready[2] = {{m_listener, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    if (::poll(ready, 2, -1) <= 0 || m_stopping) continue;
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    m_connections.emplace_back([this, fd] { serve(fd); });
  }
}

void LocalHttpServer::serve(int fd) {
  ReceivedRequest request;
  if (readRequest(fd, m_stopping, request)) {
    {
      std::lock_guard lock(m_mutex);
      m_requests.push_back(request);
    }
    ServerConnection connection(fd, m_stopping);
    m_responder(request, connection);
  }
  ::close(fd);
}

}  // namespace ormel::testing_support
