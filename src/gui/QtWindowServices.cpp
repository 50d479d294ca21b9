#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/ReviewDialog.h"
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
  showMessage(parent, kind, text, {});
}

void QtWindowServices::showMessage(QWidget* parent, MessageKind kind, const std::string& text,
                                   const std::string& detail) {
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("KVD507"));
  box.setText(QString::fromStdString(text));
  switch (kind) {
    case MessageKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  // The detail is for whoever wants to look closer: "Išsamiau" shows it below the message.
  if (!detail.empty()) {
    auto* more = new QPushButton("Išsamiau", &box);
    more->setObjectName("more");
    more->setAutoDefault(false);
    auto* shown = new QPlainTextEdit(QString::fromStdString(detail), &box);
    shown->setObjectName("detail");
    shown->setReadOnly(true);
    shown->setVisible(false);
    shown->setMinimumWidth(420);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
      grid->addWidget(more, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignLeft);
      grid->addWidget(shown, grid->rowCount(), 0, 1, grid->columnCount());
    }
    QObject::connect(more, &QPushButton::clicked, &box, [more, shown] {
      shown->setVisible(true);
      more->setEnabled(false);
    });
  }
  box.exec();
}

void QtWindowServices::showReport(QWidget* parent, const runs::RunReport& report,
                                  char decimalSeparator) {
  RunReportDialog dialog(report, decimalSeparator, parent);
  dialog.exec();
}

bool QtWindowServices::reviewDeclaration(QWidget* parent, const runs::RunReport& report,
                                         char decimalSeparator) {
  ReviewDialog dialog(report, decimalSeparator, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kvd507::gui
