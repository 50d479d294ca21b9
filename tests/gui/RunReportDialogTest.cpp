#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "gui/RunReportDialog.h"
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
      {Kind::MissingSheet, "KVD507 U", 0, "", "tokio lapo knygoje nėra"},
      {Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"},
  };
  return report;
}

TEST(RunReportDialog, ShowsTheSummaryAndACopyableTableOfFindings) {
  const runs::RunReport report = sampleReport();
  RunReportDialog dialog(report, ',');

  const QString summary = dialog.findChild<QPlainTextEdit*>("summary")->toPlainText();
  EXPECT_TRUE(summary.contains("KVD507 L: sumų suma: 1234,50")) << summary.toStdString();
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

}  // namespace
}  // namespace kvd507::gui
