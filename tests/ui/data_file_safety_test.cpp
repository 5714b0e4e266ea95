// What the window does with data files it cannot use: bad content, no permission, FIFOs and
// devices, links, a read-only folder, a full disk, leftovers of killed saves, and geometry.
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QTextDocument>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>

#include "app/recovery_copy.h"
#include "scratchpad/content_file.h"
#include "support/ended_process.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

constexpr uid_t kNobody = 65534;

/// Makes file access of this thread that of an unprivileged user while it lives, so that
/// permissions count even when the tests run as root (whose file capabilities go with it).
class UnprivilegedFiles {
 public:
  explicit UnprivilegedFiles(const QList<QString>& openFolders) {
    for (const QString& folder : openFolders) ::chmod(folder.toLocal8Bit().constData(), 0777);
    if (::geteuid() == 0) {
      ::setfsgid(kNobody);
      ::setfsuid(kNobody);
    }
  }
  ~UnprivilegedFiles() {
    if (::geteuid() == 0) {
      ::setfsuid(0);
      ::setfsgid(0);
    }
  }
  UnprivilegedFiles(const UnprivilegedFiles&) = delete;
  UnprivilegedFiles& operator=(const UnprivilegedFiles&) = delete;
};

/// The set-aside copies of a data file.
QStringList copiesOf(const Desk& desk, const QString& name) {
  return QDir(desk.program.filePath("data"))
      .entryList({name + ".bad-*"}, QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void typeLine(Desk& desk, const QString& line) {
  QTest::keyClicks(&desk.pad(), line);
  QTest::keyClick(&desk.pad(), Qt::Key_Return);
}

}  // namespace

class DataFileSafetyTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void aFileThatFailsToLoadIsKeptAsideAndSaidOnce_data();
  void aFileThatFailsToLoadIsKeptAsideAndSaidOnce();
  void unreadableFilesAreReportedAndNeverWritten();
  void fifosAndDevicesAreSkippedWithoutBlocking();
  void linkedDataFilesAreWrittenThrough();
  void aReadOnlyDataFolderIsReadAndThePerUserOneWritten();
  void aReadOnlyDataFolderKeepsItsRecoveryCopyInThePerUserOne();
  void staleTemporaryFilesAreRemovedAtStart();
  void aFailedSaveAtExitNamesTheFileAndOffersToSaveThePadElsewhere();
  void theWindowStaysOnTheScreen();
  void wholeStartUpsFromArbitraryBytesDropNothingWithoutACopy();
};

void DataFileSafetyTest::aFileThatFailsToLoadIsKeptAsideAndSaidOnce_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("padText");
  QTest::newRow("root typo")
      << "vars.xml" << QByteArray("<variablesX>\r\n <variable name=\"A\" value=\"1\" />\r\n</variablesX>\r\n")
      << "";
  QTest::newRow("invalid UTF-8 in a name") << "vars.xml"
                                           << QByteArray(
                                                  "<variables><variable name=\"\xff\" value=\"1\" "
                                                  "/><variable name=\"B\" value=\"2\" /></variables>")
                                           << "";
  QTest::newRow("switch that is no Boolean")
      << "settings.xml" << QByteArray("<settings><alwaysontop value=\"sometimes\" /></settings>") << "";
  QTest::newRow("hot key that names no key")
      << "hotkeys.xml" << QByteArray("<hotkeys><hotkey name=\"Quit\" hotkey=\"Ctrl+Banana\" /></hotkeys>")
      << "";
  QTest::newRow("end tag that closes the root early")
      << "vars.xml"
      << QByteArray(
             "<variables><variable name=\"A\" value=\"1\"/></variable><variable name=\"B\" "
             "value=\"2\"/></variables>")
      << "";
  QTest::newRow("cut off inside a tag")
      << "vars.xml" << QByteArray("<variables><variable name=\"A\" value=\"1\"/><variable name=\"B\" val")
      << "";
  QTest::newRow("a second root") << "prefs.xml"
                                 << QByteArray(
                                        "<preferences><decimalplaces value=\"4\"/></preferences>"
                                        "<preferences><answercolor value=\"255\"/></preferences>")
                                 << "";
  QTest::newRow("variable with a field it does not read")
      << "vars.xml"
      << QByteArray(
             "<variables><variable name=\"B\" value=\"2\" variable name=\"C\" value=\"3\"/></variables>")
      << "";
  QTest::newRow("hot key inside a hot key")
      << "hotkeys.xml"
      << QByteArray(
             "<hotkeys><hotkey name=\"Quit\" hotkey=\"F9\"><hotkey name=\"Open Sheet\" "
             "hotkey=\"F8\"/></hotkey></hotkeys>")
      << "";
  QTest::newRow("toolbar layout that is no layout")
      << "toolbars.ini" << QByteArray("[FuncsToolbar]\r\nRev=2000\r\nthis is no key\r\n") << "";
  QTest::newRow("toolbar place that is no number")
      << "toolbars.ini" << QByteArray("[FuncsToolbar]\r\nRev=2000\r\nVisible=yes\r\n") << "";
  QTest::newRow("workspace missing a brace")
      << "workspace.dat"
      << QByteArray("{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;\\cf1 sum = 6*7\\par  42\\par}")
      << "sum";
}

void DataFileSafetyTest::aFileThatFailsToLoadIsKeptAsideAndSaidOnce() {
  QFETCH(QString, name);
  QFETCH(QByteArray, content);
  QFETCH(QString, padText);
  Desk desk;
  desk.write(name, content);
  MessageBoxAnswerer boxes;
  QVERIFY(desk.start());
  QCOMPARE(boxes.texts.size(), 1);
  const QStringList copies = copiesOf(desk, name);
  QCOMPARE(copies.size(), 1);
  QVERIFY2(boxes.texts[0].contains(copies[0]), qPrintable(boxes.texts[0]));
  QCOMPARE(readFile(desk.dataFile(copies[0])), content);
  QVERIFY(desk.pad().toPlainText().contains(padText));
  desk.stop();
  // Saving over the file is safe now that the copy exists; the next start finds it whole.
  QCOMPARE(readFile(desk.dataFile(copies[0])), content);
  QVERIFY(desk.start());
  QCOMPARE(boxes.texts.size(), 1);
  QCOMPARE(copiesOf(desk, name).size(), 1);
}

void DataFileSafetyTest::unreadableFilesAreReportedAndNeverWritten() {
  Desk desk;
  const QByteArray variables = "<variables>\r\n <variable name=\"KEEP\" value=\"7\" />\r\n</variables>\r\n";
  desk.write("vars.xml", variables);
  ::chmod(desk.dataFile("vars.xml").toLocal8Bit().constData(), 0000);
  MessageBoxAnswerer boxes;
  {
    UnprivilegedFiles unprivileged({desk.program.path(), desk.home.path(), desk.program.filePath("data")});
    QVERIFY(desk.start());
    typeLine(desk, "x = 3");
    desk.stop();
  }
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts[0].contains("vars.xml\" cannot be read (Permission denied)"),
           qPrintable(boxes.texts[0]));
  QCOMPARE(readFile(desk.dataFile("vars.xml")), variables);
  struct stat info {};
  QCOMPARE(::stat(desk.dataFile("vars.xml").toLocal8Bit().constData(), &info), 0);
  QCOMPARE(info.st_mode & 0777, 0u);
  // The other files were written, with the usual mode.
  QCOMPARE(::stat(desk.dataFile("hotkeys.xml").toLocal8Bit().constData(), &info), 0);
  QCOMPARE(
      info.st_mode & 0777, 0644 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
      }());
}

void DataFileSafetyTest::fifosAndDevicesAreSkippedWithoutBlocking() {
  Desk desk;
  desk.write("prefs.xml", "<preferences />");
  QVERIFY(::mkfifo(desk.dataFile("vars.xml").toLocal8Bit().constData(), 0644) == 0);
  QVERIFY(QFile::link("/dev/zero", desk.dataFile("settings.xml")));
  MessageBoxAnswerer boxes;
  QVERIFY(desk.start());
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY(boxes.texts[0].contains("vars.xml\" cannot be read (Not a regular file)"));
  QVERIFY(boxes.texts[0].contains("settings.xml\" cannot be read (Not a regular file)"));
  desk.stop();
  QVERIFY(QFileInfo(desk.dataFile("settings.xml")).isSymLink());
  struct stat info {};
  QCOMPARE(::stat(desk.dataFile("vars.xml").toLocal8Bit().constData(), &info), 0);
  QVERIFY(S_ISFIFO(info.st_mode));
}

void DataFileSafetyTest::linkedDataFilesAreWrittenThrough() {
  Desk desk;
  QTemporaryDir elsewhere;
  desk.write("settings.xml", "<settings />");
  {
    QFile target(elsewhere.filePath("my-vars.xml"));
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write("<variables />\r\n");
  }
  QVERIFY(QFile::link(elsewhere.filePath("my-vars.xml"), desk.dataFile("vars.xml")));
  QVERIFY(desk.start());
  typeLine(desk, "linked = 5");
  desk.stop();
  QVERIFY(QFileInfo(desk.dataFile("vars.xml")).isSymLink());
  QCOMPARE(readFile(elsewhere.filePath("my-vars.xml")),
           QByteArray("<variables>\r\n <variable name=\"LINKED\" value=\"5\" />\r\n</variables>\r\n"));
  QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void DataFileSafetyTest::aReadOnlyDataFolderIsReadAndThePerUserOneWritten() {
  Desk desk;
  const QByteArray variables = "<variables>\r\n <variable name=\"SHARED\" value=\"2\" />\r\n</variables>\r\n";
  desk.write("vars.xml", variables);
  desk.write("settings.xml", "<settings />");
  ::chmod(desk.program.filePath("data").toLocal8Bit().constData(), 0555);
  MessageBoxAnswerer boxes;
  {
    UnprivilegedFiles unprivileged({desk.program.path(), desk.home.path()});
    QVERIFY(desk.start());
    QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("SHARED=2"));
    typeLine(desk, "mine = 3");
    desk.stop();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts[0].contains("cannot save changes in its data folder"), qPrintable(boxes.texts[0]));
    QVERIFY(boxes.texts[0].contains(desk.home.filePath("ormelcalc/data/")));
    // The next start reads what was saved, and says the same once.
    QVERIFY(desk.start());
    QVERIFY(desk.form->varsTextLabelWidget()->text().contains("SHARED=2"));
    QVERIFY(desk.form->varsTextLabelWidget()->text().contains("MINE=3"));
    desk.stop();
  }
  QCOMPARE(boxes.texts.size(), 2);
  QCOMPARE(readFile(desk.dataFile("vars.xml")), variables);
  ::chmod(desk.program.filePath("data").toLocal8Bit().constData(), 0755);
}

void DataFileSafetyTest::aReadOnlyDataFolderKeepsItsRecoveryCopyInThePerUserOne() {
  Desk desk;
  desk.write("settings.xml", "<settings />");
  const QString data = desk.program.filePath("data");
  ::chmod(data.toLocal8Bit().constData(), 0555);
  const QDir perUser(desk.home.filePath("ormelcalc/data"));
  const QString vars = QString("vars.xml.recovery-%1").arg(::getpid());
  MessageBoxAnswerer boxes;
  boxes.answer = QMessageBox::Yes;
  {
    UnprivilegedFiles unprivileged({desk.program.path(), desk.home.path()});
    QVERIFY(desk.start());
    typeLine(desk, "kept = 6*7");
    QTRY_VERIFY_WITH_TIMEOUT(readFile(perUser.filePath(vars)).contains("name=\"KEPT\""), 5000);
    desk.form->recoveryCopy()->waitUntilWritten();
    const QString typed = desk.pad().toPlainText();
    // Gone without closing: the next start offers the copy from the folder it writes.
    desk.form.reset();
    QVERIFY(desk.start());
    QCOMPARE(boxes.texts.filter("ormelCalc did not close normally.").size(), 1);
    QCOMPARE(desk.pad().toPlainText(), typed);
    QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("KEPT=42"));
    desk.stop();
  }
  QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.xml"});
  QVERIFY(perUser.entryList({"*.recovery-*"}, QDir::Files | QDir::Hidden).isEmpty());
  QVERIFY(readFile(perUser.filePath("vars.xml")).contains("name=\"KEPT\""));
  ::chmod(data.toLocal8Bit().constData(), 0755);
}

void DataFileSafetyTest::staleTemporaryFilesAreRemovedAtStart() {
  Desk desk;
  const pid_t ended = ormel::testing_support::endedProcessId();
  QVERIFY(ended > 0);
  const QString leftover = ".ormel-" + QString::number(ended) + "-3.tmp";
  const QString running = ".ormel-1-3.tmp";
  desk.write(leftover, QByteArray(4096, 'x'));
  desk.write(running, "init still runs");
  QVERIFY(desk.start());
  QVERIFY(!QFileInfo::exists(desk.dataFile(leftover)));
  QVERIFY(QFileInfo::exists(desk.dataFile(running)));
}

void DataFileSafetyTest::aFailedSaveAtExitNamesTheFileAndOffersToSaveThePadElsewhere() {
  Desk desk;
  QTemporaryDir elsewhere;
  QVERIFY(desk.start());
  const QString line = "12345 * 2 " + QString(3000, ' ');
  typeLine(desk, line);
  // A file size limit fails the big workspace as a full disk does, and leaves the small
  // settings files be.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 2048;
  QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
  MessageBoxAnswerer boxes;
  boxes.answer = QMessageBox::Yes;
  int dialogs = 0;
  const QString target = elsewhere.filePath("rescued.ocs");
  desk.form->setOnSheetDialog([&](QFileDialog& dialog) {
    // The first try lands on the same full disk; the second has room.
    if (++dialogs == 2) ::setrlimit(RLIMIT_FSIZE, &saved);
    QTimer::singleShot(0, &dialog, [&dialog, target] {
      dialog.selectFile(target);
      QMetaObject::invokeMethod(&dialog, "accept");
    });
  });
  desk.stop();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
  QCOMPARE(dialogs, 2);
  QVERIFY(boxes.texts.size() >= 2);
  QVERIFY2(
      boxes.texts[0].contains(desk.dataFile("workspace.dat") + "\": Failed to Save Stream (File too large)"),
      qPrintable(boxes.texts[0]));
  QVERIFY(boxes.texts[0].contains("Save the scratch pad in another file"));
  QVERIFY(!boxes.texts[0].contains("vars.xml"));
  QVERIFY(boxes.texts[1].contains("rescued.ocs"));
  const ormel::StyledText rescued = ormel::loadContentFile(target.toStdString(), {});
  QCOMPARE(QString::fromStdU16String(rescued.at(0).text), line);
}

void DataFileSafetyTest::theWindowStaysOnTheScreen() {
  Desk desk;
  QByteArray variables = "<variables>\r\n";
  for (int i = 0; i < 40; ++i) {
    variables += " <variable name=\"A_VARIABLE_WITH_A_RATHER_LONG_NAME_" + QByteArray::number(i) +
                 "\" value=\"1234567.891\" />\r\n";
  }
  desk.write("vars.xml", variables + "</variables>\r\n");
  desk.write(
      "settings.xml",
      "<settings><screenpos left=\"-50\" top=\"20\" width=\"2147483647\" height=\"300\" /></settings>");
  QVERIFY(desk.start());
  const QRect screen = desk.form->screen()->availableGeometry();
  QVERIFY2(desk.form->width() <= screen.width(), qPrintable(QString::number(desk.form->width())));
  QVERIFY(desk.form->minimumSizeHint().width() <= screen.width());
  QVERIFY(desk.form->x() >= screen.x());
  desk.stop();
  const QByteArray settings = desk.read("settings.xml");
  QVERIFY2(settings.contains("width=\"" + QByteArray::number(screen.width()) + "\"") ||
               !settings.contains("2147483647"),
           settings.constData());
}

namespace {

/// An element as a plain scan of the text finds it, without regard to nesting or to where the
/// document ends: its name in small letters and its attributes in order. Deliberately not the
/// program's reader, so that what that reader drops is seen.
struct ScannedTag {
  QByteArray name;
  QList<QPair<QByteArray, QByteArray>> attributes;
  [[nodiscard]] std::optional<QByteArray> value(const QByteArray& attribute) const {
    for (const auto& [key, value] : attributes) {
      if (key == attribute) return value;
    }
    return std::nullopt;
  }
};

QList<ScannedTag> scannedTags(const QByteArray& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  const qsizetype size = text.size();
  QList<ScannedTag> tags;
  for (qsizetype at = text.indexOf('<'); at >= 0 && at + 1 < size; at = text.indexOf('<', at + 1)) {
    if (!std::isalpha(static_cast<unsigned char>(text[at + 1]))) continue;
    qsizetype p = at + 1;
    while (p < size && !blank(text[p]) && !QByteArray("=/<>\"'").contains(text[p])) ++p;
    ScannedTag tag{text.mid(at + 1, p - at - 1).toLower(), {}};
    for (;;) {
      while (p < size && (blank(text[p]) || text[p] == '/')) ++p;
      if (p >= size || text[p] == '>' || text[p] == '<') break;
      const qsizetype nameStart = p;
      while (p < size && !blank(text[p]) && !QByteArray("=/<>\"'").contains(text[p])) ++p;
      const QByteArray attribute = text.mid(nameStart, p - nameStart);
      if (attribute.isEmpty() && text[p] != '=') {
        ++p;  // a stray quote
        continue;
      }
      while (p < size && blank(text[p])) ++p;
      QByteArray value;
      if (p < size && text[p] == '=') {
        for (++p; p < size && blank(text[p]);) ++p;
        if (p < size && (text[p] == '"' || text[p] == '\'')) {
          const qsizetype close = text.indexOf(text[p], p + 1);
          value = text.mid(p + 1, (close < 0 ? size : close) - p - 1);
          p = close < 0 ? size : close + 1;
        } else {
          const qsizetype valueStart = p;
          while (p < size && !blank(text[p]) && text[p] != '<' && text[p] != '>') ++p;
          value = text.mid(valueStart, p - valueStart);
        }
      }
      // Stray signs are no attribute the user wrote.
      if (!attribute.isEmpty() && std::isalpha(static_cast<unsigned char>(attribute[0])))
        tag.attributes.append({attribute, value});
    }
    tags.append(tag);
    at = p - 1;
  }
  return tags;
}

std::optional<double> number(QByteArray text) {
  bool ok = false;
  const double value = text.trimmed().replace(',', '.').toDouble(&ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}

/// What of an XML data file the user had that is missing from what was written in its place
/// (empty when nothing is): each element below the root, by its name and the names of its
/// attributes, and for variables also the value.
QString missingEntries(const QByteArray& before, const QByteArray& after) {
  const QList<ScannedTag> written = scannedTags(after);
  const QList<ScannedTag> had = scannedTags(before);
  for (qsizetype i = 1; i < had.size(); ++i) {
    const ScannedTag& tag = had[i];
    const std::optional<QByteArray> name = tag.value("name");
    if (tag.name == "variable") {
      // Zero values are not kept by design.
      const std::optional<double> value = number(tag.value("value").value_or(""));
      if (!name || (value && *value == 0.0)) continue;
    }
    const bool kept = std::any_of(written.begin(), written.end(), [&](const ScannedTag& candidate) {
      if (candidate.name != tag.name) return false;
      for (const auto& attribute : tag.attributes) {
        if (!candidate.value(attribute.first)) return false;
      }
      if (name && candidate.value("name").value_or("").toUpper() != name->toUpper()) return false;
      if (tag.name != "variable") return true;
      // Of a name given twice either value may be the one kept.
      const std::optional<double> has = number(candidate.value("value").value_or(""));
      return std::any_of(had.begin() + 1, had.end(), [&](const ScannedTag& twin) {
        const std::optional<double> value = number(twin.value("value").value_or(""));
        return twin.name == "variable" && twin.value("name").value_or("").toUpper() == name->toUpper() &&
               (!value || (has && std::abs(*has - *value) <= 1e-12 * std::abs(*value)));
      });
    });
    if (!kept)
      return "<" + QString::fromLatin1(tag.name) + " " + QString::fromLatin1(name.value_or("")) + ">";
  }
  return {};
}

/// The sections of an INI text with their keys in small letters, as a plain scan finds them.
QMap<QByteArray, QMap<QByteArray, QByteArray>> scannedSections(const QByteArray& text) {
  QMap<QByteArray, QMap<QByteArray, QByteArray>> sections;
  QByteArray section;
  for (QByteArray line : text.split('\n')) {
    line = line.trimmed();
    if (line.startsWith('[') && line.contains(']')) {
      section = line.mid(1, line.indexOf(']') - 1).trimmed().toLower();
      sections[section];
    } else if (!section.isEmpty() && line.contains('=')) {
      const qsizetype equals = line.indexOf('=');
      const QByteArray key = line.left(equals).trimmed().toLower();
      if (!sections[section].contains(key)) sections[section][key] = line.mid(equals + 1).trimmed();
    }
  }
  return sections;
}

/// A toolbar the file shows or hides and whose place was written is still shown or hidden.
QString missingToolbarChoice(const QByteArray& before, const QByteArray& after) {
  const auto written = scannedSections(after);
  const auto had = scannedSections(before);
  for (auto section = had.cbegin(); section != had.cend(); ++section) {
    if (section->value("rev") != "2000" || !written.contains(section.key())) continue;
    const std::optional<double> visible = number(section->value("visible"));
    if (!visible) continue;
    if ((*visible != 0) != (number(written[section.key()].value("visible")).value_or(0) != 0)) {
      return "[" + QString::fromLatin1(section.key()) + "] Visible";
    }
  }
  return {};
}

QByteArray mutated(QByteArray bytes, QRandomGenerator& random) {
  const int changes = 1 + static_cast<int>(random.bounded(4));
  for (int i = 0; i < changes && !bytes.isEmpty(); ++i) {
    const int at = static_cast<int>(random.bounded(bytes.size()));
    switch (random.bounded(3)) {
      case 0:
        bytes[at] = static_cast<char>(random.bounded(256));
        break;
      case 1:
        bytes.remove(at, 1 + static_cast<int>(random.bounded(3)));
        break;
      default:
        bytes.insert(at, "<>\"=}{\\/ x"[random.bounded(10)]);
        break;
    }
  }
  return bytes;
}

}  // namespace

void DataFileSafetyTest::wholeStartUpsFromArbitraryBytesDropNothingWithoutACopy() {
  const QList<QPair<QString, QByteArray>> seeds = {
      {"vars.xml",
       "<variables>\r\n <variable name=\"A\" value=\"1.5\" />\r\n <variable name=\"B\" value=\"2,5\" />\r\n"
       " <variable name=\"C\" value=\"-3E-5\" />\r\n</variables>\r\n"},
      {"settings.xml",
       "<settings>\r\n <alwaysontop value=\"False\" />\r\n <saveworkspace value=\"True\" />\r\n"
       " <oneinstance value=\"False\" />\r\n <screenpos left=\"10\" top=\"10\" width=\"400\" "
       "height=\"300\" />\r\n <fonts fontsize=\"10\" />\r\n</settings>\r\n"},
      {"prefs.xml",
       "<preferences>\r\n <answercolor value=\"255\" value2=\"\" />\r\n <decimalplaces value=\"4\" "
       "value2=\"\" />\r\n</preferences>\r\n"},
      {"hotkeys.xml", "<hotkeys>\r\n <hotkey name=\"Quit\" hotkey=\"Ctrl+Q\" />\r\n</hotkeys>\r\n"},
      {"workspace.dat",
       "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;}\\cf1 6*7\\par\\b  42\\b0\\par}"},
      {"toolbars.ini", "[FuncsToolbar]\r\nRev=2000\r\nVisible=1\r\n"},
  };
  QRandomGenerator random(20261210);
  constexpr int kStartUps = 40;
  int setAside = 0;
  for (int round = 0; round < kStartUps; ++round) {
    Desk desk;
    QMap<QString, QByteArray> original;
    for (const auto& [name, seed] : seeds) {
      QByteArray bytes = seed;
      const quint32 kind = random.bounded(5);
      if (kind == 1) bytes = mutated(bytes, random);
      if (kind == 2) {
        bytes.resize(static_cast<int>(random.bounded(200)));
        for (char& c : bytes) c = static_cast<char>(random.bounded(256));
      }
      // Structure out of place: a file cut off, or a piece of it again somewhere else.
      if (kind == 3) bytes.truncate(static_cast<int>(random.bounded(bytes.size())));
      if (kind == 4) {
        const int from = static_cast<int>(random.bounded(bytes.size()));
        const QByteArray piece = bytes.mid(from, static_cast<int>(random.bounded(bytes.size() - from)) + 1);
        bytes.insert(static_cast<int>(random.bounded(bytes.size() + 1)), piece);
      }
      original[name] = bytes;
      desk.write(name, bytes);
    }
    MessageBoxAnswerer boxes;
    QVERIFY(desk.start());
    // The raw text: the plain one turns non-breaking spaces into blanks.
    const QString padText = desk.pad().document()->toRawText().replace(QChar::ParagraphSeparator, '\n');
    desk.stop();
    for (auto file = original.cbegin(); file != original.cend(); ++file) {
      bool copied = false;
      for (const QString& copy : copiesOf(desk, file.key()))
        copied = copied || readFile(desk.dataFile(copy)) == *file;
      setAside += copied ? 1 : 0;
      const QString context = QString("round %1, %2: %3")
                                  .arg(round)
                                  .arg(file.key(), QString::fromLatin1(file->toPercentEncoding()));
      if (copied || desk.read(file.key()) == *file) continue;
      // What the user had is judged from the old bytes by a plain scan, not by the program.
      if (file.key().endsWith(".xml")) {
        const QString missing = missingEntries(*file, desk.read(file.key()));
        QVERIFY2(missing.isEmpty(), qPrintable(missing + " lost; " + context));
      } else if (file.key() == "toolbars.ini") {
        const QString missing = missingToolbarChoice(*file, desk.read(file.key()));
        QVERIFY2(missing.isEmpty(), qPrintable(missing + " lost; " + context));
      } else if (file.key() == "workspace.dat") {
        // What the pad showed is what was saved, and every line of text the file held is there.
        const ormel::StyledText saved =
            ormel::loadContentFile(desk.dataFile("workspace.dat").toStdString(), {});
        QString savedText;
        for (std::size_t i = 0; i < saved.size(); ++i) {
          savedText += (i > 0 ? "\n" : "") + QString::fromStdU16String(saved[i].text);
        }
        QVERIFY2(savedText == padText, qPrintable(context));
        // A digit that runs on from the control word before it is no text.
        QVERIFY2(!file->contains("\\cf1 6*7") || padText.contains("6*7"), qPrintable(context));
      }
    }
  }
  QVERIFY2(setAside > 0, "the generated files include ones that cannot be used");
}

QTEST_MAIN(DataFileSafetyTest)
#include "data_file_safety_test.moc"
