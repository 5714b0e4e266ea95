#pragma once

#include <QString>

#include "app/app_window_port.h"
#include "ui/ormel_dialog.h"

class QLabel;

namespace ormel {

struct RgbImage;

/// A JPEG picture as Qt's image, decoded with the JPEG library (not Qt's plugin); a null image
/// when the bytes cannot be decoded.
[[nodiscard]] QImage imageFromJpeg(const QByteArray& bytes);

/// The about box: the main window's caption, links to the maker's pages, the logo, the credits,
/// a second picture and the disclaimer.
class TAboutDialog final : public OrmelDialog<ModalDialog> {
 public:
  static constexpr int kClientWidth = 478;
  static constexpr int kClientHeight = 308;
  /// The pictures, embedded in the program.
  static constexpr const char* kLogoResource = ":/about/logo.jpg";
  static constexpr const char* kSecondPictureResource = ":/about/pad.jpg";

  explicit TAboutDialog(QWidget* owner);

 protected:
  /// Fills the caption, the title from the owner's caption, the credits and the disclaimer.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* m_titleLabel;
  QLabel* m_creditsLabel;
  QLabel* m_creditsLabel2;
  QLabel* m_disclaimer;
};

/// Fills a picture label with the JPEG picture in a resource; it stays empty when the picture
/// cannot be read or decoded. True when a picture was shown.
bool showJpegPicture(QLabel& picture, const QString& resource);

}  // namespace ormel
