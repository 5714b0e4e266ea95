#include "ui/aboutbox.h"

#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>
#include <QVBoxLayout>
#include <span>

#include "app/about_texts.h"
#include "app/jpeg_decoder.h"

namespace ormel {
namespace {

constexpr const char* kUrlProperty = "pageAddress";
constexpr QColor kLinkColor{0x80, 0x00, 0x80};
constexpr qreal kCreditsPoints = 7;
constexpr qreal kDisclaimerPoints = 5.5;

QLabel* linkLabel(const char* name, const char* text, std::string_view path, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font = label->font();
  font.setBold(true);
  font.setUnderline(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLinkColor);
  label->setPalette(palette);
  label->setCursor(Qt::PointingHandCursor);
  label->setProperty(kUrlProperty, QString::fromStdString(aboutPageAddress(path)));
  return label;
}

QLabel* framedPicture(const char* name, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setObjectName(QString::fromLatin1(name));
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setAlignment(Qt::AlignCenter);
  return picture;
}

}  // namespace

QImage imageFromJpeg(const QByteArray& bytes) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size()));
  const std::optional<RgbImage> decoded = decodeJpeg(data);
  if (!decoded) return {};
  const QImage view(decoded->pixels.data(), decoded->width, decoded->height, decoded->width * 3,
                    QImage::Format_RGB888);
  // The view borrows the decoder's buffer; the copy owns its pixels.
  return view.copy();
}

bool showJpegPicture(QLabel& picture, const QString& resource) {
  QFile file(resource);
  const QImage image = file.open(QIODevice::ReadOnly) ? imageFromJpeg(file.readAll()) : QImage();
  if (image.isNull()) {
    picture.clear();
    return false;
  }
  picture.setPixmap(QPixmap::fromImage(image));
  return true;
}

TAboutDialog::TAboutDialog(QWidget* owner)
    : OrmelDialog(owner, QStringLiteral("About"), kClientWidth, kClientHeight, true) {
  setObjectName(QStringLiteral("AboutDialog"));
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 8, 6);
  layout->setSpacing(6);

  auto* titleGroup = new QGroupBox(this);
  titleGroup->setObjectName(QStringLiteral("TitleGroup"));
  m_titleLabel = new QLabel(titleGroup);
  m_titleLabel->setObjectName(QStringLiteral("TitleLabel"));
  m_titleLabel->setWordWrap(true);
  QFont titleFont = m_titleLabel->font();
  titleFont.setBold(true);
  m_titleLabel->setFont(titleFont);
  auto* titleLayout = new QVBoxLayout(titleGroup);
  titleLayout->setContentsMargins(8, 6, 8, 6);
  titleLayout->setSpacing(2);
  titleLayout->addWidget(m_titleLabel);
  titleLayout->addStretch(1);
  for (QLabel* link : {linkLabel("Label2", "ormelCalc Online Help", kOnlineHelpPath, titleGroup),
                       linkLabel("Label1", "ormelWare website", kHomePagePath, titleGroup),
                       linkLabel("Label3", "ormelWare Forum", kForumPath, titleGroup)}) {
    titleLayout->addWidget(link);
    link->installEventFilter(this);
  }
  layout->addWidget(titleGroup, 0, 0);

  QLabel* logo = framedPicture("Logo", this);
  logo->setCursor(Qt::PointingHandCursor);
  logo->setProperty(kUrlProperty, QString::fromStdString(aboutPageAddress(kHomePagePath)));
  logo->installEventFilter(this);
  showJpegPicture(*logo, QString::fromLatin1(kLogoResource));
  layout->addWidget(logo, 0, 1);

  auto* credits = new QGroupBox(QStringLiteral("Credits"), this);
  credits->setObjectName(QStringLiteral("CreditsGroup"));
  m_creditsLabel = new QLabel(credits);
  m_creditsLabel->setObjectName(QStringLiteral("CreditsLabel"));
  m_creditsLabel2 = new QLabel(credits);
  m_creditsLabel2->setObjectName(QStringLiteral("CreditsLabel2"));
  auto* creditsLayout = new QHBoxLayout(credits);
  creditsLayout->setContentsMargins(8, 2, 8, 2);
  for (QLabel* label : {m_creditsLabel, m_creditsLabel2}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    font.setPointSizeF(kCreditsPoints);
    label->setFont(font);
    creditsLayout->addWidget(label, 1);
  }
  layout->addWidget(credits, 1, 0);

  auto* pictureGroup = new QGroupBox(QStringLiteral("Jot it, solve it"), this);
  pictureGroup->setObjectName(QStringLiteral("PictureGroup"));
  QLabel* picture = framedPicture("Picture", pictureGroup);
  showJpegPicture(*picture, QString::fromLatin1(kSecondPictureResource));
  (new QVBoxLayout(pictureGroup))->addWidget(picture, 0, Qt::AlignCenter);
  layout->addWidget(pictureGroup, 1, 1);

  m_disclaimer = new QLabel(this);
  m_disclaimer->setObjectName(QStringLiteral("Disclaimer"));
  QFont small = m_disclaimer->font();
  small.setPointSizeF(kDisclaimerPoints);
  m_disclaimer->setFont(small);
  layout->addWidget(m_disclaimer, 2, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(1, 1);
}

void TAboutDialog::showEvent(QShowEvent* event) {
  setWindowTitle(QStringLiteral("About"));
  if (const QWidget* owner = parentWidget()) m_titleLabel->setText(owner->window()->windowTitle());
  m_creditsLabel->setText(labelText(testersCredits()));
  m_creditsLabel2->setText(labelText(supportCredits()));
  m_disclaimer->setText(labelText(disclaimerText()));
  OrmelDialog::showEvent(event);
}

bool TAboutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* release = static_cast<QMouseEvent*>(event);
    const QVariant address = watched->property(kUrlProperty);
    // A press that slid off the link before the release is no click.
    if (widget != nullptr && address.isValid() && widget->rect().contains(release->position().toPoint())) {
      QDesktopServices::openUrl(QUrl(address.toString()));
      return true;
    }
  }
  return OrmelDialog::eventFilter(watched, event);
}

}  // namespace ormel
