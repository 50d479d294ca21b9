#include "gui/ErrorReporter.h"

#include <QMessageBox>
#include <QWidget>

#include "errors/Error.h"

namespace kvd507::gui {

void MessageBoxErrorReporter::showError(QWidget* parent, const QString& text) {
  const QString title = parent != nullptr ? parent->window()->windowTitle() : QString();
  QMessageBox::critical(parent, title, QString::fromStdString(oneLine(text.toStdString())));
}

}  // namespace kvd507::gui
