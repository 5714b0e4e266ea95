// The one-instance rule across two processes: this test's window is the first instance, the
// real program started beside it is the second.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDateTime>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <csignal>
#include <cstring>

#include "ui/instance_server.h"
#include "ui/ormelMisc.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;

namespace {

/// A copy of the program in its own folder, so that its data folder is a fresh one.
struct ProgramCopy {
  QTemporaryDir folder;
  QString program = folder.filePath("ormelcalc");

  ProgramCopy() { QFile::copy(QStringLiteral(ORMEL_BINARY), program); }

  void writeData(const QString& name, const QByteArray& content) const {
    QDir(folder.path()).mkpath("data");
    QFile file(folder.filePath("data/" + name));
    if (file.open(QIODevice::WriteOnly)) file.write(content);
  }
  [[nodiscard]] QStringList dataFiles() const {
    return QDir(folder.filePath("data")).entryList(QDir::Files, QDir::Name);
  }
  void start(QProcess& process) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("HOME", folder.path());
    process.setProcessEnvironment(environment);
    process.start(program, {});
  }
};

const QByteArray kSettingsOneInstance = "<settings>\r\n <oneinstance value=\"True\" />\r\n</settings>\r\n";
const QByteArray kSettingsManyInstances = "<settings>\r\n <oneinstance value=\"False\" />\r\n</settings>\r\n";

}  // namespace

class InstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void noInstanceFoundWhenNoneListens();
  void secondStartBringsTheFirstForwardAndWritesNothing();
  void withTheSwitchOffTwoRunSideBySide();
  void aNameLeftByADeadInstanceIsTakenOver();
  void aSecondStartCreatesNothingInTheDataFolder();
  void aSignalDuringStartUpEndsTheProgramWithoutLosingAFile();
};

void InstanceTest::noInstanceFoundWhenNoneListens() {
  QVERIFY(!ormel::isApplicationRunning("ormelCalc-test-none"));
}

void InstanceTest::secondStartBringsTheFirstForwardAndWritesNothing() {
  Desk first;
  QVERIFY(first.start());
  first.form->showMinimized();
  QTRY_VERIFY(first.form->isMinimized());
  ProgramCopy second;
  second.writeData("settings.xml", kSettingsOneInstance);
  second.writeData("prefs.xml", "<preferences />");
  QProcess process;
  QSignalSpy finished(&process, &QProcess::finished);
  second.start(process);
  QVERIFY(finished.wait(15000));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), 0);
  QTRY_VERIFY(!first.form->isMinimized());
  QCOMPARE(second.dataFiles(), (QStringList{"prefs.xml", "settings.xml"}));
  QFile settings(second.folder.filePath("data/settings.xml"));
  QVERIFY(settings.open(QIODevice::ReadOnly));
  QCOMPARE(settings.readAll(), kSettingsOneInstance);
}

void InstanceTest::withTheSwitchOffTwoRunSideBySide() {
  Desk first;
  QVERIFY(first.start());
  ProgramCopy second;
  second.writeData("settings.xml", kSettingsManyInstances);
  QProcess process;
  QSignalSpy finished(&process, &QProcess::finished);
  second.start(process);
  QVERIFY(process.waitForStarted());
  QVERIFY(!finished.wait(2000));
  // A terminated program closes its window the normal way and saves everything.
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  QVERIFY(finished.wait(15000));
  QCOMPARE(process.exitCode(), 0);
  QCOMPARE(second.dataFiles(), (QStringList{"hotkeys.xml", "prefs.xml", "settings.xml", "toolbars.ini",
                                            "vars.xml", "workspace.dat"}));
}

void InstanceTest::aNameLeftByADeadInstanceIsTakenOver() {
  const QString title = "ormelCalc-test-stale";
  // A socket bound and closed without removing its file is what a crashed instance leaves.
  const QByteArray path = ormel::instanceServerName(title).toLocal8Bit();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
  QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));
  int raised = 0;
  ormel::InstanceServer server(title, [&] { ++raised; });
  QVERIFY(server.listen());
  QLocalSocket later;
  later.connectToServer(ormel::instanceServerName(title));
  QVERIFY(later.waitForConnected(1000));
  later.write(ormel::InstanceServer::kComeForward);
  QTRY_COMPARE(raised, 1);
}

void InstanceTest::aSecondStartCreatesNothingInTheDataFolder() {
  Desk first;
  QVERIFY(first.start());
  // No data folder at all, so the switch has its default (on); and one with a bad file.
  ProgramCopy bare;
  ProgramCopy broken;
  broken.writeData("settings.xml", kSettingsOneInstance);
  broken.writeData("vars.xml", "<variablesX />");
  const QFileInfo before(broken.folder.filePath("data"));
  const QDateTime changed = before.lastModified();
  for (const ProgramCopy* second : {&bare, &broken}) {
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    second->start(process);
    QVERIFY(finished.wait(15000));
    QCOMPARE(process.exitCode(), 0);
  }
  QVERIFY(!QFileInfo::exists(bare.folder.filePath("data")));
  QCOMPARE(broken.dataFiles(), (QStringList{"settings.xml", "vars.xml"}));
  QCOMPARE(QFileInfo(broken.folder.filePath("data")).lastModified(), changed);
}

void InstanceTest::aSignalDuringStartUpEndsTheProgramWithoutLosingAFile() {
  ProgramCopy program;
  const QByteArray broken = "<variables><variable name=\"A\" value=\"one\" /></variables>";
  program.writeData("settings.xml", kSettingsManyInstances);
  program.writeData("vars.xml", broken);
  QProcess process;
  QSignalSpy finished(&process, &QProcess::finished);
  program.start(process);
  QVERIFY(process.waitForStarted());
  // The copy is made just before the start-up's message box shows; the box then waits for OK.
  QTRY_VERIFY_WITH_TIMEOUT(program.dataFiles().filter("vars.xml.bad-").size() == 1, 15000);
  QTest::qWait(500);
  QVERIFY(finished.isEmpty());
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  QVERIFY(finished.wait(15000));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), 0);
  QFile variables(program.folder.filePath("data/vars.xml"));
  QVERIFY(variables.open(QIODevice::ReadOnly));
  QCOMPARE(variables.readAll(), broken);
  QVERIFY(!program.dataFiles().contains("workspace.dat"));
}

QTEST_MAIN(InstanceTest)
#include "instance_test.moc"
