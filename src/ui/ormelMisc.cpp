#include "ui/ormelMisc.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>
#include <cstdlib>

#include "ui/instance_server.h"

namespace ormel {

QPoint centredOrigin(const QRect& form, const QSize& dialog) {
  // Integer division truncates toward zero, as the placement rule wants.
  return {form.left() - (dialog.width() - form.width()) / 2,
          form.top() - (dialog.height() - form.height()) / 2};
}

void CenterCommonDialogOnForm(const QWidget& form, QWidget& dialog) {
  dialog.move(centredOrigin(form.frameGeometry(), dialog.frameGeometry().size()));
}

QString instanceServerName(const QString& title) {
  const QString name = title + QChar('-') + QString::number(getuid());
  // XDG_RUNTIME_DIR is private to the user and cleared at log-out; Qt's default is /tmp.
  const QString runtime = QString::fromLocal8Bit(std::getenv("XDG_RUNTIME_DIR"));
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return QDir(runtime).filePath(name);
  return name;
}

bool isApplicationRunning(const QString& title) {
  constexpr int kWaitMs = 1000;
  QLocalSocket socket;
  socket.connectToServer(instanceServerName(title));
  if (!socket.waitForConnected(kWaitMs)) return false;
  socket.write(InstanceServer::kComeForward);
  socket.waitForBytesWritten(kWaitMs);
  // The answer says the request was taken; an instance that hangs still counts as running.
  socket.waitForReadyRead(kWaitMs);
  socket.disconnectFromServer();
  return true;
}

void bringForward(QWidget& window) {
  if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace ormel
