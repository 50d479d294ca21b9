#include <QFileDialog>
#include <QMessageBox>

#include "errors/Error.h"
#include "gui/RunReportDialog.h"
#include "gui/WindowServices.h"

namespace kvd507::gui {

std::optional<std::filesystem::path> QtWindowServices::chooseFile(QWidget* parent,
                                                                  const std::string& filter) {
  const QString file =
      QFileDialog::getOpenFileName(parent, QString(), QString(), QString::fromStdString(filter));
  if (file.isEmpty()) return std::nullopt;
  return std::filesystem::path(file.toStdString());
}

void QtWindowServices::showMessage(QWidget* parent, MessageKind kind, const std::string& text) {
  const QString body = QString::fromStdString(oneLine(text));
  const QString title = QStringLiteral("KVD507");
  switch (kind) {
    case MessageKind::Error:
      QMessageBox::critical(parent, title, body);
      break;
    case MessageKind::Information:
      QMessageBox::information(parent, title, body);
      break;
    case MessageKind::Warning:
      QMessageBox::warning(parent, title, body);
      break;
  }
}

void QtWindowServices::showReport(QWidget* parent, const runs::RunReport& report,
                                  char decimalSeparator) {
  RunReportDialog dialog(report, decimalSeparator, parent);
  dialog.exec();
}

}  // namespace kvd507::gui
