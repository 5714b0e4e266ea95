// How long each dialog takes from its command to being on the screen: created, prepared with
// what it edits, laid out and shown (offscreen), then destroyed.
#include <QDialog>
#include <QFontDatabase>

#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;

class DialogsBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ormel::testing_support::isolateRuntimeFolder();
    qInfo("installed font families: %d", static_cast<int>(QFontDatabase::families().size()));
  }
  void open_data();
  void open();
};

void DialogsBench::open_data() {
  QTest::addColumn<int>("kind");
  QTest::newRow("switches") << 0;
  QTest::newRow("preferences") << 1;
  QTest::newRow("hot keys") << 2;
  QTest::newRow("about") << 3;
}

void DialogsBench::open() {
  QFETCH(int, kind);
  Desk desk;
  QVERIFY(desk.start());
  ormel::TForm1& form = *desk.form;
  ormel::TAppManager& manager = *form.appManager();
  QBENCHMARK {
    std::unique_ptr<ormel::ModalDialog> dialog;
    if (kind == 0) {
      auto settings = form.createSettingsDialog();
      settings->FillList(manager.OrmelSettings());
      dialog = std::move(settings);
    } else if (kind == 1) {
      auto prefs = form.createPrefsDialog();
      prefs->Init(manager.OrmelPrefs());
      dialog = std::move(prefs);
    } else if (kind == 2) {
      auto hotkeys = form.createHotkeysDialog();
      hotkeys->FillList(form.actions());
      dialog = std::move(hotkeys);
    } else {
      dialog = form.createAboutDialog();
    }
    auto* widget = dynamic_cast<QDialog*>(dialog.get());
    QVERIFY(widget != nullptr);
    widget->show();
    QCoreApplication::processEvents();
    widget->hide();
  }
}

QTEST_MAIN(DialogsBench)
#include "dialogs_bench.moc"
