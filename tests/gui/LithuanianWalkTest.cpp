#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabWidget>
#include <memory>
#include <set>
#include <string>

#include "gui/DeclarationViewer.h"
#include "gui/PayerDialog.h"
#include "gui/ReviewDialog.h"
#include "gui/WindowProgram.h"
#include "runs/DeclarationContent.h"
#include "support/TempDir.h"

namespace kvd507::test {
namespace {

// Words of Qt's own English texts that a Lithuanian user must never meet in our windows.
const std::set<QString>& englishWords() {
  static const std::set<QString> words{
      "Abort",      "Apply",  "Back",      "Cancel", "Close",    "Collate",     "Color",
      "Copies",     "Create", "Current",   "Date",   "Delete",   "Detail",      "Directory",
      "Discard",    "Duplex", "File",      "Files",  "Folder",   "Forward",     "Grayscale",
      "Help",       "Ignore", "Landscape", "List",   "Location", "Look",        "Modified",
      "Name",       "New",    "No",        "Open",   "Options",  "Orientation", "Output",
      "Page",       "Pages",  "Paper",     "Parent", "Portrait", "Print",       "Printer",
      "Properties", "Range",  "Redo",      "Rename", "Reset",    "Retry",       "Reverse",
      "Save",       "Select", "Selection", "Show",   "Size",     "Type",        "Undo",
      "Write",      "Yes",    "Paste",     "Copy",   "Cut",      "All",
  };
  return words;
}

// Every text a widget and its children show, menus' actions included.
void collectTexts(QWidget& top, std::vector<QString>& texts) {
  std::vector<QWidget*> widgets{&top};
  for (QWidget* child : top.findChildren<QWidget*>()) widgets.push_back(child);
  for (QWidget* w : widgets) {
    if (w->isWindow()) texts.push_back(w->windowTitle());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) texts.push_back(b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) texts.push_back(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) texts.push_back(g->title());
    if (auto* e = qobject_cast<QLineEdit*>(w)) texts.push_back(e->placeholderText());
    if (auto* t = qobject_cast<QTabWidget*>(w)) {
      for (int i = 0; i < t->count(); ++i) texts.push_back(t->tabText(i));
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
      for (int i = 0; i < c->count(); ++i) texts.push_back(c->itemText(i));
    }
    if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model()) {
      for (int i = 0; i < v->model()->columnCount(); ++i) {
        texts.push_back(v->model()->headerData(i, Qt::Horizontal).toString());
      }
    }
    for (QAction* action : w->actions()) texts.push_back(action->text());
  }
}

std::set<std::string> englishIn(QWidget& top) {
  std::vector<QString> texts;
  collectTexts(top, texts);
  std::set<std::string> found;
  static const QRegularExpression split("[^\\p{L}]+");
  for (QString text : texts) {
    text.remove('&');
    for (const QString& word : text.split(split, Qt::SkipEmptyParts)) {
      if (englishWords().count(word) != 0)
        found.insert(word.toStdString() + " in \"" + text.toStdString() + "\"");
    }
  }
  return found;
}

class LithuanianWalk : public testing::Test {
 protected:
  static void SetUpTestSuite() { gui::installLithuanian(*qApp); }
};

TEST_F(LithuanianWalk, QtsDialogsAndOursSpeakNoEnglish) {
  std::vector<std::pair<std::string, std::unique_ptr<QWidget>>> dialogs;
  auto* files = new QFileDialog(nullptr, "Pasirinkite darbaknygę");
  files->setOption(QFileDialog::DontUseNativeDialog);
  files->setNameFilter("XLS, XLSX (*.xls *.xlsx)");
  dialogs.emplace_back("file dialog", files);
  auto* saving = new QFileDialog(nullptr, "Išsaugoti PDF");
  saving->setOption(QFileDialog::DontUseNativeDialog);
  saving->setAcceptMode(QFileDialog::AcceptSave);
  dialogs.emplace_back("save dialog", saving);
  static QPrinter printer;
  dialogs.emplace_back("print dialog", new QPrintDialog(&printer));
  auto* box = new QMessageBox(QMessageBox::Question, "KVD507", "Ar tikrai?",
                              QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes |
                                  QMessageBox::No | QMessageBox::Save | QMessageBox::Close);
  dialogs.emplace_back("message box", box);
  dialogs.emplace_back("payer dialog", new gui::PayerDialog);
  runs::RunReport report;
  report.findings.push_back({rows::Finding::Kind::NoPayer, "", 0, "", "nepasirinktas"});
  dialogs.emplace_back("review", new gui::ReviewDialog(report, ','));
  const auto content =
      runs::readDeclarationContent(dataFile("declaration_long_codes_names_addresses.ffdata"));
  dialogs.emplace_back("viewer", new gui::DeclarationViewer(content, ','));
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  for (auto& [name, dialog] : dialogs) {
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(englishIn(*dialog), std::set<std::string>{}) << name;
    dialog->hide();
  }
  EXPECT_EQ(englishIn(*menu), std::set<std::string>{}) << "context menu";
}

}  // namespace
}  // namespace kvd507::test
