#include "gui/ErrorReporter.h"

#include <QMessageBox>
#include <QWidget>

namespace kvd507::gui {

void MessageBoxErrorReporter::showError(QWidget* parent, const QString& text) {
  const QString title = parent != nullptr ? parent->window()->windowTitle() : QString();
  QMessageBox::critical(parent, title, text);
}

}  // namespace kvd507::gui
