#include "ui/aboutbox.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrl>

#include "app/about_texts.h"
#include "app/update_paths.h"
#include "ui/command_keys.h"
#include "ui/dialog_test_support.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::checkFrame;
using ormel::testing_support::child;
using ormel::testing_support::Desk;
using ormel::testing_support::driveModal;

namespace {

bool withAbout(Desk& desk, const std::function<void(QDialog&)>& drive) {
  return driveModal(
      "AboutDialog", [&] { desk.form->command("AboutAction")->trigger(); }, drive);
}

QString page(std::string_view path) { return QString::fromStdString(ormel::aboutPageAddress(path)); }

QByteArray resource(const char* name) {
  QFile file(QString::fromLatin1(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

/// Takes the addresses the about box asks the desktop to open.
class Browser : public QObject {
  Q_OBJECT

 public:
  QStringList opened;

 public slots:
  void open(const QUrl& url) { opened << url.toString(); }
};

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ormel::testing_support::isolateRuntimeFolder();
    QDesktopServices::setUrlHandler("http", &m_browser, "open");
  }
  void cleanupTestCase() { QDesktopServices::unsetUrlHandler("http"); }
  void showsTitleCreditsAndDisclaimer();
  void linksLookLikeLinks();
  void linksOpenTheMakersPages_data();
  void linksOpenTheMakersPages();
  void bothPicturesDecode();
  void aBrokenPictureLeavesAnEmptyFrame_data();
  void aBrokenPictureLeavesAnEmptyFrame();

 private:
  Browser m_browser;
};

void AboutBoxTest::showsTitleCreditsAndDisclaimer() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withAbout(desk, [&](QDialog& dialog) {
    checkFrame(dialog, "About", QSize(478, 308), true);
    QCOMPARE(child<QLabel>(dialog, "TitleLabel").text(), desk.form->windowTitle());
    QVERIFY(desk.form->windowTitle().startsWith("ormelCalc 2.0 public beta "));
    QVERIFY(child<QLabel>(dialog, "CreditsLabel").text().startsWith("Faithful Testers:\n\n"));
    QVERIFY(child<QLabel>(dialog, "CreditsLabel2").text().startsWith("Great Support:\n\n"));
    // Every credit shows whole in its column.
    for (const char* name : {"CreditsLabel", "CreditsLabel2"}) {
      const QLabel& credits = child<QLabel>(dialog, name);
      QVERIFY2(credits.sizeHint().width() <= credits.width(), name);
    }
    const QLabel& disclaimer = child<QLabel>(dialog, "Disclaimer");
    QVERIFY(disclaimer.text().simplified().contains("without any warranty"));
    QVERIFY(!disclaimer.text().contains('\r'));
    QVERIFY(disclaimer.font().pointSizeF() < dialog.font().pointSizeF());
  }));
}

void AboutBoxTest::linksLookLikeLinks() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withAbout(desk, [&](QDialog& dialog) {
    const std::array<std::pair<const char*, const char*>, 3> links{{{"Label2", "ormelCalc Online Help"},
                                                                    {"Label1", "ormelWare website"},
                                                                    {"Label3", "ormelWare Forum"}}};
    int previousTop = -1;
    for (const auto& [name, text] : links) {
      const QLabel& link = child<QLabel>(dialog, name);
      QCOMPARE(link.text(), QString(text));
      QVERIFY(link.font().bold());
      QVERIFY(link.font().underline());
      QCOMPARE(link.palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x80));
      QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
      QVERIFY2(link.geometry().top() > previousTop, name);
      previousTop = link.geometry().top();
    }
    QCOMPARE(child<QLabel>(dialog, "Logo").cursor().shape(), Qt::PointingHandCursor);
  }));
}

void AboutBoxTest::linksOpenTheMakersPages_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("address");
  QTest::newRow("Website") << "Label1" << page(ormel::kHomePagePath);
  QTest::newRow("Logo") << "Logo" << page(ormel::kHomePagePath);
  QTest::newRow("OnlineHelp") << "Label2" << page(ormel::kOnlineHelpPath);
  QTest::newRow("Forum") << "Label3" << page(ormel::kForumPath);
}

void AboutBoxTest::linksOpenTheMakersPages() {
  QFETCH(QString, name);
  QFETCH(QString, address);
  Desk desk;
  QVERIFY(desk.start());
  m_browser.opened.clear();
  QVERIFY(withAbout(desk, [&](QDialog& dialog) {
    QTest::mouseClick(&child<QLabel>(dialog, name.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(m_browser.opened, QStringList{address});
    QVERIFY(dialog.isVisible());
  }));
  QVERIFY(address.startsWith("http://" + QString::fromStdString(ormel::updateServerHost()) + "/ormelWare/"));
}

void AboutBoxTest::bothPicturesDecode() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withAbout(desk, [&](QDialog& dialog) {
    QCOMPARE(child<QLabel>(dialog, "Logo").pixmap().size(), QSize(116, 88));
    QCOMPARE(child<QLabel>(dialog, "Picture").pixmap().size(), QSize(100, 96));
    QCOMPARE(child<QLabel>(dialog, "Logo").frameShape(), QFrame::Panel);
  }));
  const QImage logo = ormel::imageFromJpeg(resource(ormel::TAboutDialog::kLogoResource));
  QVERIFY(!logo.isNull());
  // The logo's corner is the deep purple of its background.
  const QColor corner = logo.pixelColor(1, 1);
  QVERIFY(corner.blue() > corner.green() + 40);
}

void AboutBoxTest::aBrokenPictureLeavesAnEmptyFrame_data() {
  QTest::addColumn<QByteArray>("bytes");
  const QByteArray logo = resource(ormel::TAboutDialog::kLogoResource);
  QVERIFY(logo.size() > 200);
  QByteArray damaged = logo;
  // Restart markers where the scan's data should go on.
  damaged.replace(logo.size() / 2, 4, QByteArray("\xFF\xD3\xFF\xD5", 4));
  QTest::newRow("Empty") << QByteArray();
  QTest::newRow("CutShort") << logo.left(logo.size() / 2);
  QTest::newRow("HeaderOnly") << logo.left(100);
  QTest::newRow("Damaged") << damaged;
  QTest::newRow("NotAPicture") << QByteArray("just some text, no JPEG at all");
}

void AboutBoxTest::aBrokenPictureLeavesAnEmptyFrame() {
  QFETCH(QByteArray, bytes);
  QVERIFY(ormel::imageFromJpeg(bytes).isNull());
  QTemporaryDir folder;
  QFile file(folder.filePath("broken.jpg"));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  QLabel frame;
  QVERIFY(!ormel::showJpegPicture(frame, file.fileName()));
  QVERIFY(frame.pixmap().isNull());
  QVERIFY(!ormel::showJpegPicture(frame, folder.filePath("missing.jpg")));
  QVERIFY(frame.pixmap().isNull());
}

QTEST_MAIN(AboutBoxTest)
#include "aboutbox_test.moc"
