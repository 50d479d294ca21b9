#include "gui/ErrorReporter.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "errors/Error.h"

namespace kvd507::gui {
namespace {

QString titleOf(QWidget* parent) {
  return parent != nullptr ? parent->window()->windowTitle() : QString();
}

}  // namespace

bool askRemovalInMessageBox(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Question, titleOf(parent), question, QMessageBox::NoButton, parent);
  QPushButton* remove = box.addButton(QStringLiteral("Šalinti"), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Atšaukti"), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == remove;
}

void MessageBoxErrorReporter::showError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, titleOf(parent),
                        QString::fromStdString(oneLine(text.toStdString())));
}

}  // namespace kvd507::gui
