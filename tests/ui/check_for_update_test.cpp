#include <QFileInfo>
#include <atomic>
#include <string>

#include "app/support/local_http_server.h"
#include "app/support/stand_in_updater.h"
#include "ui/command_keys.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;
using ormel::testing_support::httpResponse;
using ormel::testing_support::LocalHttpServer;
using ormel::testing_support::MessageBoxAnswerer;
using ormel::testing_support::ReceivedRequest;
using ormel::testing_support::ServerConnection;

namespace {

constexpr auto kVersionPath = "/ormelWare/files/ormelCalc/ormelCalc2.upd";
constexpr auto kUpdaterPath = "/ormelWare/files/ormelUpdater/ormelUpdater.exe";
constexpr auto kCurrent = "[ormelCalc]\r\nVERSION=2.0 public beta\r\n";
constexpr auto kNewer = "[ormelCalc]\r\nVERSION=2.1\r\n";
constexpr auto kAskNewer = "A new ormelCalc (2.1) update has been released!  Update automatically?";
// What the application's event loop returns when the program did not quit by itself.
constexpr int kStillRunning = 42;
constexpr int kHung = 99;

void typeLine(Desk& desk, const char* line) {
  QTest::keyClicks(&desk.pad(), line);
  QTest::keyClick(&desk.pad(), Qt::Key_Return);
}

/// Runs the application's own event loop, as the program does, with start as its first event.
/// Returns 0 when the program quit by itself, kStillRunning when it was still running a moment
/// after start had returned, kHung when start did not return in time.
int runProgram(const std::function<void()>& start) {
  QTimer afterwards;
  afterwards.setSingleShot(true);
  QObject::connect(&afterwards, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
  QTimer::singleShot(0, [&] {
    start();
    // Long enough for a quit that was asked for to arrive first.
    afterwards.start(300);
  });
  QTimer hang;
  hang.setSingleShot(true);
  QObject::connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(kHung); });
  hang.start(20000);
  return QApplication::exec();
}

QString executableName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

}  // namespace

class CheckForUpdateTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void runsTheCheckInTheWindow_data();
  void runsTheCheckInTheWindow();
  void closingTheWindowDuringTheDownloadEndsTheCheck();
  void aWindowClosedWhileTheMessageShowsStaysClosed();
};

void CheckForUpdateTest::runsTheCheckInTheWindow_data() {
  QTest::addColumn<QByteArray>("versionFile");
  QTest::addColumn<int>("answer");
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("updates");
  QTest::newRow("up to date") << QByteArray(kCurrent) << int(QMessageBox::Ok)
                              << "You have the latest version (2.0 public beta) of ormelCalc." << false;
  QTest::newRow("new version answered No")
      << QByteArray(kNewer) << int(QMessageBox::No) << kAskNewer << false;
  QTest::newRow("new version answered Yes")
      << QByteArray(kNewer) << int(QMessageBox::Yes) << kAskNewer << true;
}

void CheckForUpdateTest::runsTheCheckInTheWindow() {
  QFETCH(QByteArray, versionFile);
  QFETCH(int, answer);
  QFETCH(QString, message);
  QFETCH(bool, updates);
  LocalHttpServer server([&](const ReceivedRequest& request, ServerConnection& connection) {
    if (request.target == kVersionPath) {
      connection.send(httpResponse(200, versionFile.toStdString()));
    } else if (request.target == kUpdaterPath) {
      connection.send(httpResponse(200, ormel::testing_support::kStandInUpdater));
    }
  });
  Desk desk;
  QVERIFY(desk.start());
  desk.form->appManager()->setUpdateServer(server.url(""));
  typeLine(desk, "6*7");
  MessageBoxAnswerer boxes;
  boxes.answer = static_cast<QMessageBox::StandardButton>(answer);
  QList<bool> windowShownAtBox;
  boxes.onBox = [&](QMessageBox&) { windowShownAtBox << desk.form->isVisible(); };

  const int ended = runProgram([&] { desk.form->command("CheckForUpdate")->trigger(); });

  QCOMPARE(ended, updates ? 0 : kStillRunning);
  QCOMPARE(boxes.texts, QStringList{message});
  QCOMPARE(windowShownAtBox, QList<bool>{false});
  QCOMPARE(desk.form->isVisible(), !updates);
  const std::vector<ReceivedRequest> requests = server.requests();
  QCOMPARE(requests.size(), updates ? 2u : 1u);
  QCOMPARE(requests[0].method, std::string("GET"));
  QCOMPARE(requests[0].target, std::string(kVersionPath));
  QCOMPARE(requests[0].version, std::string("HTTP/1.0"));
  QCOMPARE(requests[0].header("Accept"), std::string("*/*"));
  QCOMPARE(requests[0].header("User-Agent"), std::string("Veltrane HTTPGet"));
  QCOMPARE(requests[0].header("Cache-Control"), std::string("no-cache"));
  QCOMPARE(desk.read("ormelCalc2.upd"), versionFile);
  // The window's close handler is what writes the shortcuts and the workspace.
  QCOMPARE(QFileInfo::exists(desk.dataFile("hotkeys.xml")), updates);
  if (!updates) {
    QVERIFY(!QFileInfo::exists(desk.dataFile("updater-ran.txt")));
    return;
  }
  QCOMPARE(requests[1].target, std::string(kUpdaterPath));
  QVERIFY(desk.read("workspace.dat").contains(" 42"));
  for (const char* name : {"vars.xml", "settings.xml", "prefs.xml", "toolbars.ini"}) {
    QVERIFY2(QFileInfo(desk.dataFile(name)).isFile(), name);
  }
  const QString updater = desk.dataFile("ormelUpdater.exe");
  QVERIFY(QFileInfo(updater).isExecutable());
  const QString arguments = QStringList{updater, server.url("/ormelWare/files/ormelCalc/").c_str(),
                                        "ormelCalc2.exe", executableName()}
                                .join('\n') +
                            '\n';
  QTRY_COMPARE(QString::fromUtf8(desk.read("updater-ran.txt")), arguments);
}

void CheckForUpdateTest::closingTheWindowDuringTheDownloadEndsTheCheck() {
  // The version file never comes: only an abort ends its download.
  LocalHttpServer server([](const ReceivedRequest&, ServerConnection& connection) {
    while (connection.pause(std::chrono::milliseconds(10))) {
    }
  });
  Desk desk;
  QVERIFY(desk.start());
  desk.form->appManager()->setUpdateServer(server.url(""));
  MessageBoxAnswerer boxes;
  bool checkReturned = false;
  QString padDuringDownload;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (server.requests().empty()) return;
    user.stop();
    typeLine(desk, "2+3");
    padDuringDownload = desk.pad().toPlainText();
    // A second check chosen meanwhile finds the first one running.
    desk.form->command("CheckForUpdate")->trigger();
    desk.form->command("QuitApp")->trigger();
  });
  user.start(10);

  const int ended = runProgram([&] {
    desk.form->command("CheckForUpdate")->trigger();
    checkReturned = true;
  });

  QCOMPARE(ended, 0);
  QVERIFY(checkReturned);
  QCOMPARE(padDuringDownload, QString("2+3\n 5"));
  QCOMPARE(boxes.texts, QStringList());
  QVERIFY(!desk.form->isVisible());
  QVERIFY(!desk.form->GetUpdate().busy());
  QCOMPARE(server.requests().size(), 1u);
  QVERIFY(desk.read("workspace.dat").contains(" 5"));
  QVERIFY(QFileInfo(desk.dataFile("hotkeys.xml")).isFile());
}

void CheckForUpdateTest::aWindowClosedWhileTheMessageShowsStaysClosed() {
  LocalHttpServer server(ormel::testing_support::fixedResponse(httpResponse(200, kCurrent)));
  Desk desk;
  QVERIFY(desk.start());
  desk.form->appManager()->setUpdateServer(server.url(""));
  MessageBoxAnswerer boxes;
  boxes.onBox = [&](QMessageBox&) { desk.form->close(); };
  desk.form->command("CheckForUpdate")->trigger();
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY(!desk.form->isVisible());
  QVERIFY(QFileInfo(desk.dataFile("hotkeys.xml")).isFile());
}

QTEST_MAIN(CheckForUpdateTest)
#include "check_for_update_test.moc"
