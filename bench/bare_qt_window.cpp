// The floor for start-up figures: a bare Qt 6 window with what every such program has, a
// text area, a toolbar and a status bar.
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare Qt window"));
  window.setCentralWidget(new QTextEdit(&window));
  window.addToolBar(QStringLiteral("toolbar"))->addAction(QStringLiteral("action"));
  window.statusBar()->showMessage(QStringLiteral("Ready"));
  window.resize(458, 334);
  window.show();
  return QApplication::exec();
}
