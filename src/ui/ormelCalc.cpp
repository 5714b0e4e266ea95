#include <QApplication>

#include "app/data_folder.h"
#include "ui/ormelCalcMain.h"
#include "ui/shutdown_signals.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ormel::kApplicationTitle));
  ormel::TForm1 form({ormel::executableFolder(), ormel::userDataHome()});
  // A signal, the end of the desktop session or a quit from elsewhere all end the program as
  // its close box does, so that everything is saved. One that comes while the start-up still
  // shows its messages ends the program before its window opens: nothing was changed yet, so
  // nothing is written.
  bool running = false;
  bool endedDuringStartUp = false;
  ormel::ShutdownSignals signalWatch([&](int) {
    if (running) {
      ormel::closeGracefully(form);
      return;
    }
    endedDuringStartUp = true;
    form.abandonStartUp();
  });
  if (!form.FormCreate() || endedDuringStartUp) return 0;
  running = true;
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &form,
                   [&form] { ormel::closeGracefully(form); });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &form, [&form] { form.close(); });
  form.show();
  return QApplication::exec();
}
