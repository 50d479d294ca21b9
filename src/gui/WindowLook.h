#pragma once

#include <QFont>
#include <QStyle>

class QPushButton;
class QWidget;

namespace kvd507::gui {

// Tahoma 13 pixels high where the system has it (Wine's copy counts), otherwise a sans-serif
// close to it.
QFont windowFont();
// Arial 12 pixels high, or its metric twin.
QFont copyrightFont();
// The window's cream background on a window or panel.
void paintCream(QWidget& widget);
// A picture from the desktop's icon theme, or Qt's own when the theme has none. A disabled
// button shows it dimmed.
void setButtonIcon(QPushButton& button, const char* themeName, QStyle::StandardPixmap fallback);

}  // namespace kvd507::gui
