#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace ormel {

/// Turns SIGTERM, SIGINT and SIGHUP into a call on the window thread, so that the program ends
/// the normal way (its window closed, everything saved) when the session or a user stops it.
/// One instance at a time; the signals get their default action back when it is destroyed.
class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  explicit ShutdownSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
  ~ShutdownSignals() override;

 private:
  void drain();

  std::function<void(int)> m_onSignal;
  QSocketNotifier* m_notifier = nullptr;
};

/// Rejects the open modal dialogs and message boxes, the innermost first; each one's caller
/// goes on once control is back in its event loop.
void rejectModalDialogs();

/// Closes the window the normal way, as its close box does, once no modal dialog is open and no
/// nested event loop runs: open dialogs are rejected first, so that whatever opened them has
/// returned before the window's close handler runs.
void closeGracefully(QWidget& window);

}  // namespace ormel
