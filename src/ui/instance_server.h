#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <map>
#include <string>

namespace ormel {

/// Lets later instances find this one: holds this user's instance lock for the title, listens
/// under instanceServerName and runs comeForward when one of them asks.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  /// The request a later instance sends, and the answer it gets.
  static constexpr const char* kComeForward = "come-forward\n";
  static constexpr const char* kDone = "done\n";

  InstanceServer(const QString& title, std::function<void()> comeForward, QObject* parent = nullptr);
  /// Stops listening and removes the socket file; the lock stays until the process ends, so that
  /// no later instance opens a window while this one still saves.
  ~InstanceServer() override;

  /// Starts listening; false when another process holds the lock (it is the one later instances
  /// find), the lock cannot be had, or the socket cannot be made. A socket file left by an instance
  /// that ended is replaced.
  bool listen();
  [[nodiscard]] bool isListening() const { return m_listener >= 0; }

 private:
  /// One later instance's connection and what it has sent so far.
  struct Peer {
    QSocketNotifier* notifier;
    std::string received;
    /// Order of arrival: when too many are connected, the one waiting longest goes.
    unsigned long serial;
  };

  void acceptPending();
  void readFrom(int fd);
  void drop(int fd);

  std::string m_path;
  std::string m_lockPath;
  std::function<void()> m_comeForward;
  int m_listener = -1;
  QSocketNotifier* m_notifier = nullptr;
  std::map<int, Peer> m_peers;
  unsigned long m_arrivals = 0;
};

}  // namespace ormel
