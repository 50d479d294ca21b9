#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <iterator>
#include <set>
#include <string>

#include "ModalHelper.h"
#include "gui/ReviewDialog.h"
#include "gui/RunReportDialog.h"
#include "gui/WindowProgram.h"
#include "gui/WindowServices.h"
#include "runs/FindingCollector.h"
#include "runs/FindingsText.h"

namespace kvd507::gui {
namespace {

using Kind = rows::Finding::Kind;

runs::RunReport sampleReport() {
  runs::RunReport report;
  report.summary.l.sheet = "KVD507 L";
  report.summary.l.rowsRead = 3;
  report.summary.l.rowsWritten = 2;
  report.summary.l.pages = 1;
  report.summary.l.amount = 1234.5;
  report.summary.u.sheet = "KVD507 U";
  report.findings = {
      {Kind::NotANumber, "KVD507 L", 7, "H", "\"12,50 EUR\" nėra skaičius, suma laikoma 0"},
      {Kind::MissingSheet, "KVD507 U", 0, "", "tokio lapo darbaknygėje nėra"},
      {Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"},
  };
  return report;
}

TEST(RunReportDialog, ShowsTheSummaryAndACopyableTableOfFindings) {
  const runs::RunReport report = sampleReport();
  RunReportDialog dialog(report, ',');

  const QString summary = dialog.findChild<QPlainTextEdit*>("summary")->toPlainText();
  EXPECT_TRUE(summary.contains("KVD507 L: Išmokos suma: 1234,50")) << summary.toStdString();
  EXPECT_TRUE(summary.contains("L įrašų: 2, U įrašų: 0, puslapių: 2")) << summary.toStdString();

  const QTableWidget& table = *dialog.findChild<QTableWidget*>("findings");
  ASSERT_EQ(table.rowCount(), 3);
  ASSERT_EQ(table.columnCount(), 4);
  auto cell = [&table](int r, int c) { return table.item(r, c)->text().toStdString(); };
  EXPECT_EQ(table.horizontalHeaderItem(3)->text().toStdString(), "Pastaba");
  EXPECT_EQ(cell(0, 0), "KVD507 L");
  EXPECT_EQ(cell(0, 1), "7");
  EXPECT_EQ(cell(0, 2), "H");
  EXPECT_EQ(cell(0, 3), "\"12,50 EUR\" nėra skaičius, suma laikoma 0");
  EXPECT_EQ(cell(1, 1), "");  // a whole sheet: no row
  EXPECT_EQ(cell(2, 0), "");  // the payer: no sheet
  EXPECT_EQ(table.editTriggers(), QAbstractItemView::NoEditTriggers);

  QApplication::clipboard()->clear();
  dialog.findChild<QPushButton*>("copy")->click();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
            runs::findingsAsTable(report.findings));
}

// The review before writing: the summary as tables, the findings heaviest first and grouped,
// and the two answers.
TEST(ReviewDialog, ShowsTheSummaryAndTheFindingsHeaviestFirst) {
  runs::RunReport report = sampleReport();
  report.findings.push_back(
      {Kind::NotANumber, "KVD507 L", 9, "H", "\"x\" nėra skaičius, suma laikoma 0"});
  report.summary.l.byCode = {{"A", "01", 2, 1234.5}};
  ReviewDialog dialog(report, ',');
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Formos peržiūra");

  const QTableWidget& sheets = *dialog.findChild<QTableWidget*>("summary");
  QStringList headers;
  for (int c = 0; c < sheets.columnCount(); ++c) headers << sheets.horizontalHeaderItem(c)->text();
  EXPECT_TRUE(headers.contains("Išmokos suma"));
  EXPECT_TRUE(headers.contains("Išskaičiuota mokesčio suma"));
  EXPECT_EQ(sheets.item(0, 0)->text().toStdString(), "KVD507 L");
  EXPECT_EQ(sheets.item(0, headers.indexOf("Išmokos suma"))->text().toStdString(), "1234,50");
  EXPECT_EQ(sheets.item(2, headers.indexOf("Puslapių"))->text().toStdString(), "2");
  const QTableWidget& codes = *dialog.findChild<QTableWidget*>("byCode");
  ASSERT_EQ(codes.rowCount(), 1);
  EXPECT_EQ(codes.item(0, 1)->text().toStdString(), "A 01");

  const QTreeWidget& tree = *dialog.findChild<QTreeWidget*>("findings");
  ASSERT_EQ(tree.topLevelItemCount(), 3);
  auto group = [&tree](int i) { return tree.topLevelItem(i)->text(0).toStdString(); };
  EXPECT_TRUE(group(0).ends_with("(1)")) << group(0);  // the missing sheet
  EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(1).toStdString(), "KVD507 U");
  EXPECT_TRUE(group(1).ends_with("(2)")) << group(1);  // two amounts that are not numbers
  EXPECT_EQ(tree.topLevelItem(1)->child(1)->text(2).toStdString(), "9");
  EXPECT_TRUE(group(2).ends_with("(1)")) << group(2);  // the payer

  // Enter by habit does not write: the default answer is "Atšaukti".
  auto* write = dialog.findChild<QPushButton*>("write");
  auto* cancel = dialog.findChild<QPushButton*>("cancel");
  EXPECT_EQ(write->text().toStdString(), "Formuoti");
  EXPECT_EQ(cancel->text().toStdString(), "Atšaukti");
  EXPECT_TRUE(cancel->isDefault());
  write->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ReviewDialog again(report, ',');
  again.findChild<QPushButton*>("cancel")->click();
  EXPECT_EQ(again.result(), QDialog::Rejected);
}

// Every kind of finding heads its group with a title of its own, never with one finding's text,
// which would seem to speak of that row alone.
TEST(ReviewDialog, EveryKindHasAGroupTitleOfItsOwn) {
  const Kind kinds[] = {Kind::NotANumber,     Kind::NoAmount,        Kind::SecondAmountUnused,
                        Kind::SeveralGroups,  Kind::NegativeAmount,  Kind::RowWithoutText,
                        Kind::RowsBelowEnd,   Kind::MissingSheet,    Kind::ReadStopped,
                        Kind::NoIdentifier,   Kind::OddCode,         Kind::OddPersonalCode,
                        Kind::OddCompanyCode, Kind::OddBirthDate,    Kind::SeveralIdentifiers,
                        Kind::PercentRate,    Kind::OddRate,         Kind::NoPayer,
                        Kind::OddPayerCode,   Kind::PayerCheckDigit, Kind::WorkbookOpen};
  runs::RunReport report = sampleReport();
  report.findings.clear();
  for (const Kind kind : kinds) {
    report.findings.push_back({kind, "KVD507 L", 6, "C", "VIENOS EILUTĖS TEKSTAS"});
  }
  ReviewDialog dialog(report, ',');
  const QTreeWidget& tree = *dialog.findChild<QTreeWidget*>("findings");
  ASSERT_EQ(tree.topLevelItemCount(), static_cast<int>(std::size(kinds)));
  std::set<std::string> titles;
  for (int i = 0; i < tree.topLevelItemCount(); ++i) {
    const std::string title = tree.topLevelItem(i)->text(0).toStdString();
    EXPECT_EQ(title.find("VIENOS EILUTĖS"), std::string::npos) << title;
    EXPECT_TRUE(title.ends_with(" (1)")) << title;
    titles.insert(title);
  }
  EXPECT_EQ(titles.size(), std::size(kinds));
}

// The counts are those found: of a kind with more findings than are kept, the group and the
// heading count them all, the list holds those kept and one line for the rest.
TEST(ReviewDialog, CountsEveryFindingNotOnlyThoseListed) {
  runs::FindingCollector collector;
  for (int row = 6; row < 6 + 59798; ++row) {
    collector.add({Kind::NotANumber, "KVD507 L", static_cast<std::uint32_t>(row), "H", "x"});
  }
  collector.add({Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"});
  runs::RunReport report = sampleReport();
  report.findings = collector.findings();
  ReviewDialog dialog(report, ',');
  bool headed = false;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    headed = headed || label->text().startsWith("Pastabos (59799)");
  }
  EXPECT_TRUE(headed);
  const QTreeWidget& tree = *dialog.findChild<QTreeWidget*>("findings");
  const QTreeWidgetItem& amounts = *tree.topLevelItem(0);
  EXPECT_TRUE(amounts.text(0).endsWith(" (59798)")) << amounts.text(0).toStdString();
  ASSERT_EQ(amounts.childCount(), 1001);
  EXPECT_EQ(amounts.child(1000)->text(0).toStdString(), "ir dar 58 798 tokių pastabų");

  // Copying says so where the user looks.
  dialog.findChild<QPushButton*>("copy")->click();
  EXPECT_TRUE(dialog.findChild<QLabel*>("copied")->text().startsWith("Pastabos nukopijuotos"));
}

// The English detail of a failure is there, but only behind "Išsamiau".
TEST(QtWindowServices, TheDetailShowsOnlyBehindIssamiau) {
  QtWindowServices services;
  bool hiddenFirst = false;
  bool shownAfter = false;
  test::whenModalShows([&](QWidget* box) {
    auto* detail = box->findChild<QPlainTextEdit*>("detail");
    auto* more = box->findChild<QPushButton*>("more");
    ASSERT_NE(detail, nullptr);
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->text().toStdString(), "Išsamiau");
    hiddenFirst = !detail->isVisible();
    more->click();
    shownAfter = detail->isVisible() && detail->toPlainText() == "No such file or directory";
    box->close();
  });
  services.showMessage(nullptr, WindowServices::MessageKind::Error, "Failas nerastas: a.xlsx",
                       "No such file or directory");
  EXPECT_TRUE(hiddenFirst);
  EXPECT_TRUE(shownAfter);
}

// Qt's own buttons and dialogs speak Lithuanian where Debian's translation is installed.
TEST(QtWindowServices, QtsOwnTextsAreLithuanian) {
  if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qt_lt.qm")) {
    GTEST_SKIP() << "qt6-translations-l10n is not installed";
  }
  ASSERT_TRUE(installLithuanian(*qApp));
  EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Undo").toStdString(), "&Undo");
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:").toStdString(), "File &name:");
}

}  // namespace
}  // namespace kvd507::gui
