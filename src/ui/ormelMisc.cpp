#include "ui/ormelMisc.h"

#include <unistd.h>

#include <QWidget>

#include "base/instance_channel.h"
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
  return QString::fromStdString(instanceRuntimeFolder()) + title + QChar('-') + QString::number(getuid());
}

QString instanceLockName(const QString& title) { return instanceServerName(title) + QStringLiteral(".lock"); }

bool isApplicationRunning(const QString& title) {
  // Long enough for a first instance on a busy machine to show its window, or to finish saving.
  constexpr std::chrono::milliseconds kPatience{5000};
  return findRunningInstance(instanceLockName(title).toStdString(), instanceServerName(title).toStdString(),
                             InstanceServer::kComeForward, kPatience);
}

void bringForward(QWidget& window) {
  if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace ormel
