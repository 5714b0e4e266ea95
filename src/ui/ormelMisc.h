#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace ormel {

/// Where a dialog of the given size goes to stand centred over a window with the given outer
/// bounds; each half-difference truncates toward zero.
[[nodiscard]] QPoint centredOrigin(const QRect& form, const QSize& dialog);

/// Centres a dialog that is being shown over the main window (outer bounds of both).
void CenterCommonDialogOnForm(const QWidget& form, QWidget& dialog);

/// The path of the socket on which the instance of this user with the given application title
/// listens: in the user's runtime folder when there is one, else in the temporary folder, with
/// the user id in its name.
[[nodiscard]] QString instanceServerName(const QString& title);
/// The path of the lock that the one instance of this user with the given title holds.
[[nodiscard]] QString instanceLockName(const QString& title);

/// True when another instance of this user with the given application title runs; that
/// instance is then asked to come forward (restored when minimised). False when this process is
/// the first: it then holds the lock that makes every later start answer true, however many start
/// at once. An instance still starting or ending is waited for a few seconds. Never throws: a
/// failed search means that none runs.
[[nodiscard]] bool isApplicationRunning(const QString& title);

/// Makes a window the one the user sees: restored when minimised, raised and activated.
void bringForward(QWidget& window);

}  // namespace ormel
