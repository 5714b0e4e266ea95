#include "ui/shutdown_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace ormel {
namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
// [0] is written by the handler, [1] read on the window thread.
int gPipe[2] = {-1, -1};

extern "C" void onShutdownSignal(int signal) {
  // Only async-signal-safe work here: one byte into the socket pair.
  const auto byte = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = ::write(gPipe[0], &byte, 1);
  errno = saved;
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe) != 0) {
    std::perror("ormelCalc: cannot watch for termination signals");
    return;
  }
  m_notifier = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::drain);
  struct sigaction action {};
  action.sa_handler = onShutdownSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) sigaction(signal, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
  if (m_notifier == nullptr) return;
  for (const int signal : kSignals) std::signal(signal, SIG_DFL);
  delete m_notifier;
  ::close(gPipe[0]);
  ::close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

void ShutdownSignals::drain() {
  unsigned char byte = 0;
  while (::read(gPipe[1], &byte, 1) == 1) {
    if (m_onSignal) m_onSignal(byte);
  }
}

}  // namespace ormel

namespace ormel {

void rejectModalDialogs() {
  while (QWidget* modal = QApplication::activeModalWidget()) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
    if (QApplication::activeModalWidget() == modal) break;
  }
}

void closeGracefully(QWidget& window) {
  rejectModalDialogs();
  // A rejected dialog's event loop returns only once control is back in it.
  if (QThread::currentThread()->loopLevel() > 1) {
    QTimer::singleShot(10, &window, [target = QPointer<QWidget>(&window)] {
      if (target) closeGracefully(*target);
    });
    return;
  }
  window.close();
}

}  // namespace ormel
