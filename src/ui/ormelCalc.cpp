#include <QApplication>

#include "app/data_folder.h"
#include "ui/ormelCalcMain.h"
#include "ui/shutdown_signals.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ormel::kApplicationTitle));
  ormel::TForm1 form({ormel::executableFolder(), ormel::userDataHome()});
  if (!form.FormCreate()) return 0;
  // A signal, the end of the desktop session or a quit from elsewhere all end the program as
  // its close box does, so that everything is saved.
  ormel::ShutdownSignals signalWatch([&form](int) { ormel::closeGracefully(form); });
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &form,
                   [&form] { ormel::closeGracefully(form); });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &form, [&form] { form.close(); });
  form.show();
  return QApplication::exec();
}
