// The one-instance rule across two processes: this test's window is the first instance, the
// real program started beside it is the second.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

#include "support/ended_process.h"
#include "ui/instance_server.h"
#include "ui/ormelMisc.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;

namespace {

/// A copy of the program in its own folder, so that its data folder is a fresh one.
struct ProgramCopy {
  QTemporaryDir folder;
  /// Caches that the libraries may fill, kept out of the folder whose every change counts.
  QTemporaryDir cache;
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
  /// Every file and folder below the copy's folder, hidden ones too, with its time of change.
  [[nodiscard]] QStringList tree() const {
    QStringList entries;
    QDirIterator each(folder.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (each.hasNext()) {
      const QFileInfo entry(each.next());
      entries << QDir(folder.path()).relativeFilePath(entry.filePath()) + " " +
                     entry.lastModified().toString(Qt::ISODateWithMs);
    }
    entries.sort();
    return entries;
  }
  /// The runtime folder the copy runs with; empty for this test's own.
  QString runtime;

  void start(QProcess& process) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // The per-user data folder too lies in the copy's folder, where the test can see it.
    environment.insert("HOME", folder.path());
    environment.insert("XDG_DATA_HOME", folder.filePath(".local/share"));
    environment.insert("XDG_CACHE_HOME", cache.path());
    if (!runtime.isEmpty()) environment.insert("XDG_RUNTIME_DIR", runtime);
    process.setProcessEnvironment(environment);
    process.start(program, {});
  }
};

/// A connection to the socket at path with bytes sent on it, as a later instance or a stray
/// program would open it; -1 when nothing listens.
int connectAndSend(const QString& path, const QByteArray& bytes) {
  const QByteArray name = path.toLocal8Bit();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  if (!bytes.isEmpty() &&
      ::send(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

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
  void strayPeersNeitherRaiseNorBlock_data();
  void strayPeersNeitherRaiseNorBlock();
  void aLockFreedByAnEndingInstanceIsTakenOver();
  void ofTwentySimultaneousStartsExactlyOneStays();
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
  const int later = connectAndSend(ormel::instanceServerName(title), ormel::InstanceServer::kComeForward);
  QVERIFY(later >= 0);
  QTRY_COMPARE(raised, 1);
  ::close(later);
}

void InstanceTest::strayPeersNeitherRaiseNorBlock_data() {
  QTest::addColumn<QByteArray>("sent");
  QTest::addColumn<int>("peers");
  QTest::newRow("another line") << QByteArray("come-forward-please\n") << 1;
  QTest::newRow("the request without its line end") << QByteArray("come-forward") << 1;
  QTest::newRow("a long line") << QByteArray(100000, 'x') << 1;
  QTest::newRow("nothing, and the connection held open") << QByteArray() << 1;
  QTest::newRow("more silent peers than are served at once") << QByteArray() << 20;
}

void InstanceTest::strayPeersNeitherRaiseNorBlock() {
  QFETCH(QByteArray, sent);
  QFETCH(int, peers);
  const QString title = QStringLiteral("ormelCalc-test-stray-") + QTest::currentDataTag();
  int raised = 0;
  ormel::InstanceServer server(title, [&] { ++raised; });
  QVERIFY(server.listen());
  std::vector<int> strays;
  for (int i = 0; i < peers; ++i) strays.push_back(connectAndSend(ormel::instanceServerName(title), sent));
  QVERIFY(strays.front() >= 0);
  QTest::qWait(100);
  QCOMPARE(raised, 0);
  // A later instance still gets through while the strays stay connected.
  const int later = connectAndSend(ormel::instanceServerName(title), ormel::InstanceServer::kComeForward);
  QVERIFY(later >= 0);
  QTRY_COMPARE(raised, 1);
  char answer[16] = {};
  QTRY_VERIFY(answer[0] != '\0' || ::recv(later, answer, sizeof answer - 1, MSG_DONTWAIT) > 0);
  QCOMPARE(QByteArray(answer), QByteArray(ormel::InstanceServer::kDone));
  for (const int fd : strays) ::close(fd);
  ::close(later);
}

void InstanceTest::aLockFreedByAnEndingInstanceIsTakenOver() {
  // An instance that has stopped listening and still saves holds the lock until it ends; a start
  // meanwhile waits for it and then is the first instance itself.
  const QString title = QStringLiteral("ormelCalc-test-ending");
  QElapsedTimer clock;
  clock.start();
  QProcess ending;
  ending.start(QStringLiteral("flock"), {QStringLiteral("--nonblock"), ormel::instanceLockName(title),
                                         QStringLiteral("sleep"), QStringLiteral("0.5")});
  QVERIFY(ending.waitForStarted());
  QTRY_VERIFY(QFileInfo::exists(ormel::instanceLockName(title)));
  QTest::qWait(100);
  QVERIFY(!ormel::isApplicationRunning(title));
  QVERIFY2(clock.elapsed() >= 450, "decided before the holder ended");
  QVERIFY(ending.waitForFinished(5000));
  QCOMPARE(ending.exitCode(), 0);
  ormel::InstanceServer server(title, [] {});
  QVERIFY(server.listen());
}

void InstanceTest::ofTwentySimultaneousStartsExactlyOneStays() {
  constexpr int kStarts = 20;
  // A runtime folder of their own: this test's windows keep the lock of this process.
  const QTemporaryDir runtime;
  ProgramCopy program;
  program.runtime = runtime.path();
  program.writeData("settings.xml", kSettingsOneInstance);
  program.writeData("prefs.xml", "<preferences />");
  std::vector<std::unique_ptr<QProcess>> starts;
  for (int i = 0; i < kStarts; ++i) {
    starts.push_back(std::make_unique<QProcess>());
    program.start(*starts.back());
  }
  const auto running = [&] {
    int count = 0;
    for (const auto& process : starts) count += process->state() != QProcess::NotRunning ? 1 : 0;
    return count;
  };
  QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 60000);
  // The ones that ended did so silently and changed nothing; the one left keeps its window open.
  for (const auto& process : starts) {
    if (process->state() == QProcess::NotRunning) {
      QCOMPARE(process->exitStatus(), QProcess::NormalExit);
      QCOMPARE(process->exitCode(), 0);
    }
  }
  QTest::qWait(1000);
  QCOMPARE(running(), 1);
  QCOMPARE(program.dataFiles(), (QStringList{"prefs.xml", "settings.xml"}));
  for (const auto& process : starts) {
    if (process->state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
      QVERIFY(process->waitForFinished(15000));
      QCOMPARE(process->exitCode(), 0);
    }
  }
  QCOMPARE(program.dataFiles().size(), 6);
}

void InstanceTest::aSecondStartCreatesNothingInTheDataFolder() {
  Desk first;
  QVERIFY(first.start());
  // No data folder at all, so the switch has its default (on); and one with a bad file.
  ProgramCopy bare;
  ProgramCopy broken;
  broken.writeData("settings.xml", kSettingsOneInstance);
  broken.writeData("vars.xml", "<variablesX />");
  // A workspace that start-up reads, beside what a killed save of an ended process left.
  broken.writeData("workspace.dat", "{\\rtf1 2+3\\par}");
  broken.writeData(".ormel-" + QString::number(ormel::testing_support::endedProcessId()) + "-1.tmp", "left");
  for (const ProgramCopy* second : {&bare, &broken}) {
    // Neither the folder beside the program nor the per-user one is made or touched.
    const QStringList before = second->tree();
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    second->start(process);
    QVERIFY(finished.wait(15000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(second->tree(), before);
  }
  QCOMPARE(bare.tree().size(), 1);
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
