#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>

namespace ormel {

/// Lets later instances find this one: listens under instanceServerName and runs comeForward
/// when one of them asks.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  /// The request a later instance sends, and the answer it gets.
  static constexpr const char* kComeForward = "come-forward\n";
  static constexpr const char* kDone = "done\n";

  InstanceServer(const QString& title, std::function<void()> comeForward, QObject* parent = nullptr);

  /// Starts listening; false when the name is held by a running instance or cannot be used.
  /// A name left behind by an instance that died is taken over.
  bool listen();
  [[nodiscard]] bool isListening() const { return m_server.isListening(); }

 private:
  void answer();

  QString m_name;
  std::function<void()> m_comeForward;
  QLocalServer m_server;
};

}  // namespace ormel
