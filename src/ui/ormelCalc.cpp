#include <QApplication>

#include "ui/ormelCalcMain.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ormelCalc"));
  ormel::TForm1 form;
  form.show();
  return QApplication::exec();
}
