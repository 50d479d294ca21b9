#include "gui/WindowLook.h"

#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QPalette>
#include <QPushButton>

namespace kvd507::gui {
namespace {

// Debian's fonts-wine package carries a Tahoma outside the font path.
constexpr const char* kWineTahoma = "/usr/share/wine/fonts/tahoma.ttf";

void loadTahoma() {
  static const bool loaded = [] {
    if (!QFontDatabase::hasFamily(QStringLiteral("Tahoma")) && QFile::exists(kWineTahoma)) {
      QFontDatabase::addApplicationFont(kWineTahoma);
    }
    return true;
  }();
  (void)loaded;
}

}  // namespace

QFont windowFont() {
  loadTahoma();
  QFont font;
  font.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  font.setPixelSize(13);
  return font;
}

QFont copyrightFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(12);
  return font;
}

void paintCream(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, QColor(255, 251, 240));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

void setButtonIcon(QPushButton& button, const char* themeName, QStyle::StandardPixmap fallback) {
  const QIcon icon =
      QIcon::fromTheme(QString::fromLatin1(themeName), button.style()->standardIcon(fallback));
  button.setIcon(icon);
  button.setIconSize(QSize(16, 16));
}

}  // namespace kvd507::gui
