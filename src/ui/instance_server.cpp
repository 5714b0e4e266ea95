#include "ui/instance_server.h"

#include <QLocalSocket>

#include "ui/ormelMisc.h"

namespace ormel {

InstanceServer::InstanceServer(const QString& title, std::function<void()> comeForward, QObject* parent)
    : QObject(parent), m_name(instanceServerName(title)), m_comeForward(std::move(comeForward)) {
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::answer);
}

bool InstanceServer::listen() {
  if (m_server.isListening()) return true;
  if (m_server.listen(m_name)) return true;
  if (m_server.serverError() != QAbstractSocket::AddressInUseError) return false;
  // A socket file nobody answers on is what an instance that died leaves behind.
  QLocalSocket probe;
  probe.connectToServer(m_name);
  if (probe.waitForConnected(200)) return false;
  QLocalServer::removeServer(m_name);
  return m_server.listen(m_name);
}

void InstanceServer::answer() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine();
      if (request == kComeForward && m_comeForward) m_comeForward();
      socket->write(kDone);
      socket->flush();
    });
  }
}

}  // namespace ormel
