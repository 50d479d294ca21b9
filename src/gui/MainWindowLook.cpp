#include "gui/MainWindowLook.h"

#include <QStyle>

#include "gui/MiddleElision.h"
#include "gui/WindowLook.h"
#include "runs/ChoiceDefaults.h"
#include "ui_MainWindow.h"

namespace kvd507::gui {
namespace {

void setIcons(Ui::MainWindow& ui) {
  setButtonIcon(*ui.btn_new, "list-add", QStyle::SP_FileDialogNewFolder);
  setButtonIcon(*ui.btn_koreguoti, "document-edit", QStyle::SP_FileDialogDetailedView);
  setButtonIcon(*ui.btn_salinti, "list-remove", QStyle::SP_TrashIcon);
  setButtonIcon(*ui.btn_open, "document-open", QStyle::SP_DialogOpenButton);
  setButtonIcon(*ui.btn_valyti, "edit-clear", QStyle::SP_DialogResetButton);
  setButtonIcon(*ui.btn_kvd507, "document-save", QStyle::SP_DialogSaveButton);
  setButtonIcon(*ui.btn_papildyti, "document-save-as", QStyle::SP_FileDialogContentsView);
  setButtonIcon(*ui.btn_close, "application-exit", QStyle::SP_DialogCloseButton);
  setButtonIcon(*ui.btn_perziura, "document-print-preview", QStyle::SP_FileDialogContentsView);
}

// Where the templates, the payers and the declarations are, which for an installed program is
// a folder in the user's home rather than the program's own.
void showProgramFolder(const QWidget& window, Ui::MainWindow& ui,
                       const std::filesystem::path& folder) {
  auto* label = new QLabel(ui.StatusBar1);
  label->setObjectName(QStringLiteral("lb_aplankas"));
  const QString path = QString::fromStdString(folder.string());
  const QString caption = QStringLiteral("Programos aplankas: ");
  const int room = window.width() - 40 - label->fontMetrics().horizontalAdvance(caption);
  label->setText(caption + label->fontMetrics().elidedText(path, Qt::ElideMiddle, room));
  label->setToolTip(path);
  ui.StatusBar1->addWidget(label, 1);
}

}  // namespace

void applyMainWindowLook(QWidget& window, Ui::MainWindow& ui,
                         const std::filesystem::path& programFolder) {
  window.setWindowTitle(QString::fromUtf8(runs::kWindowCaption.data(),
                                          static_cast<qsizetype>(runs::kWindowCaption.size())));
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  window.setFixedSize(window.size());  // as laid out in MainWindow.ui
  window.setFont(windowFont());
  for (QWidget* panel : {&window, static_cast<QWidget*>(ui.Panel1),
                         static_cast<QWidget*>(ui.Panel2), static_cast<QWidget*>(ui.StatusBar1)}) {
    paintCream(*panel);
  }
  setIcons(ui);
  ui.lb_copyright->setFont(copyrightFont());
  // A long workbook name keeps its end, and with it its extension; the tooltip has the path.
  elideInTheMiddle(*ui.lb_dok_pav);
  ui.StatusBar1->setSizeGripEnabled(false);
  showProgramFolder(window, ui, programFolder);
}

}  // namespace kvd507::gui
