#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "errors/Error.h"
#include "gui/ReviewDialog.h"
#include "gui/RunReportDialog.h"
#include "gui/WindowServices.h"
#include "payers/SettingsFile.h"
#include "payers/StoredPosition.h"

namespace kvd507::gui {

namespace {

// Our own section: the payer registry's keys stay as they are.
constexpr const char* kFolderSection = "LANGAS";
constexpr const char* kFolderKey = "paskutinis_aplankas";

std::optional<payers::SettingsFile> settingsIn(const std::optional<std::filesystem::path>& folder) {
  if (!folder) return std::nullopt;
  return payers::SettingsFile(*folder / payers::kSettingsFileName);
}

// The remembered folder while it still exists; otherwise where Qt starts.
QString lastFolder(const std::optional<payers::SettingsFile>& settings) {
  if (!settings) return {};
  try {
    const std::string folder = settings->read(kFolderSection, kFolderKey, "");
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error)) {
      return QString::fromStdString(folder);
    }
  } catch (...) {
    // A settings file that cannot be read is told by the payer selector; here it only costs
    // the starting folder.
  }
  return {};
}

void rememberFolder(const std::optional<payers::SettingsFile>& settings,
                    const std::filesystem::path& file) {
  const std::string folder = file.parent_path().string();
  // A line break would end the key's line early.
  if (!settings || folder.find_first_of("\r\n") != std::string::npos) return;
  try {
    if (settings->read(kFolderSection, kFolderKey, "") != folder) {
      settings->write(kFolderSection, kFolderKey, folder);
    }
  } catch (...) {
    // Not remembering the folder is no reason to bother the user.
  }
}

}  // namespace

std::optional<std::filesystem::path> QtWindowServices::chooseFile(QWidget* parent,
                                                                  const std::string& filter) {
  const std::optional<payers::SettingsFile> settings = settingsIn(programFolder_);
  const QString file = QFileDialog::getOpenFileName(parent, QString(), lastFolder(settings),
                                                    QString::fromStdString(filter));
  if (file.isEmpty()) return std::nullopt;
  const std::filesystem::path chosen(file.toStdString());
  rememberFolder(settings, chosen);
  return chosen;
}

std::optional<std::filesystem::path> QtWindowServices::chooseSaveFile(
    QWidget* parent, const std::string& filter, const std::filesystem::path& suggested) {
  const QString file =
      QFileDialog::getSaveFileName(parent, QString(), QString::fromStdString(suggested.string()),
                                   QString::fromStdString(filter));
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
  box.setText(QString::fromStdString(oneLine(text)));
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

bool QtWindowServices::reviewDeclaration(QWidget* parent, const runs::WriteReview& review,
                                         char decimalSeparator) {
  ReviewDialog dialog(review, decimalSeparator, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kvd507::gui
