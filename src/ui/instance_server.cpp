#include "ui/instance_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/instance_channel.h"
#include "ui/ormelMisc.h"

namespace ormel {
namespace {

// A request is one short line and the peers at once are few, so that nothing a peer sends or
// withholds makes this instance hold more than a few bytes and descriptors, or shuts out the next.
constexpr std::size_t kMaxRequest = 64;
constexpr std::size_t kMaxPeers = 8;

}  // namespace

InstanceServer::InstanceServer(const QString& title, std::function<void()> comeForward, QObject* parent)
    : QObject(parent),
      m_path(instanceServerName(title).toStdString()),
      m_lockPath(instanceLockName(title).toStdString()),
      m_comeForward(std::move(comeForward)) {}

InstanceServer::~InstanceServer() {
  // The notifiers are children, deleted after this; they must not watch closed descriptors.
  for (auto& [fd, peer] : m_peers) {
    peer.notifier->setEnabled(false);
    ::close(fd);
  }
  if (m_listener < 0) return;
  m_notifier->setEnabled(false);
  ::close(m_listener);
  ::unlink(m_path.c_str());
}

bool InstanceServer::listen() {
  if (isListening()) return true;
  if (holdInstanceLock(m_lockPath) != InstanceLock::held) return false;
  m_listener = listenForInstances(m_path);
  if (m_listener < 0) return false;
  m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &InstanceServer::acceptPending);
  return true;
}

void InstanceServer::acceptPending() {
  for (int fd = acceptInstance(m_listener); fd >= 0; fd = acceptInstance(m_listener)) {
    if (m_peers.size() >= kMaxPeers) {
      const auto oldest = std::min_element(m_peers.begin(), m_peers.end(), [](const auto& a, const auto& b) {
        return a.second.serial < b.second.serial;
      });
      drop(oldest->first);
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_peers.emplace(fd, Peer{notifier, {}, m_arrivals++});
    connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readFrom(fd); });
  }
}

void InstanceServer::readFrom(int fd) {
  const auto found = m_peers.find(fd);
  if (found == m_peers.end()) return;
  std::string& received = found->second.received;
  char buffer[kMaxRequest];
  const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (got <= 0) {
    drop(fd);
    return;
  }
  received.append(buffer, static_cast<std::size_t>(got));
  const std::size_t end = received.find('\n');
  if (end == std::string::npos) {
    if (received.size() > kMaxRequest) drop(fd);
    return;
  }
  const bool comeForward = received.compare(0, end + 1, kComeForward) == 0;
  // The answer is a few bytes into an empty socket buffer: it never blocks.
  ::send(fd, kDone, std::strlen(kDone), MSG_NOSIGNAL);
  drop(fd);
  if (comeForward && m_comeForward) m_comeForward();
}

void InstanceServer::drop(int fd) {
  const auto found = m_peers.find(fd);
  if (found == m_peers.end()) return;
  // This may run inside the notifier's own signal: it goes later, but stops watching now.
  found->second.notifier->setEnabled(false);
  found->second.notifier->deleteLater();
  m_peers.erase(found);
  ::close(fd);
}

}  // namespace ormel
