#include "gui/SummaryTables.h"

#include <QHeaderView>
#include <QTableWidget>
#include <string>
#include <vector>

#include "rows/Amount.h"

namespace kvd507::gui {
namespace {

QString amountText(double value, char separator) {
  return QString::fromStdString(rows::formatAmount(value, separator));
}

QTableWidgetItem* numberItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QTableWidgetItem* countItem(std::size_t count) {
  return numberItem(QString::number(count));
}

}  // namespace

void setUpReadOnlyTable(QTableWidget& table) {
  table.setEditTriggers(QAbstractItemView::NoEditTriggers);
  table.verticalHeader()->setVisible(false);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  table.horizontalHeader()->setStretchLastSection(true);
}

QTableWidget* makeSheetTable(const runs::RunSummary& summary, char decimalSeparator,
                             QWidget* parent) {
  const bool existing = summary.l.existingRows != 0 || summary.u.existingRows != 0;
  QStringList headers{"Lapas"};
  if (existing) headers << "Iš esamos formos";
  headers << "Perskaityta eilučių"
          << "Sujungta"
          << "Formoje eilučių"
          << "Puslapių"
          << "Išmokos suma"
          << "Išskaičiuota mokesčio suma";
  auto* table = new QTableWidget(3, static_cast<int>(headers.size()), parent);
  table->setObjectName("summary");
  table->setHorizontalHeaderLabels(headers);
  setUpReadOnlyTable(*table);

  int row = 0;
  for (const runs::SheetSummary* sheet : {&summary.l, &summary.u}) {
    int column = 0;
    table->setItem(row, column++, new QTableWidgetItem(QString::fromStdString(sheet->sheet)));
    if (existing) table->setItem(row, column++, countItem(sheet->existingRows));
    table->setItem(row, column++, countItem(sheet->rowsRead));
    table->setItem(row, column++, countItem(sheet->rowsMerged));
    table->setItem(row, column++, countItem(sheet->rowsWritten));
    table->setItem(row, column++, countItem(sheet->pages));
    table->setItem(row, column++, numberItem(amountText(sheet->amount, decimalSeparator)));
    table->setItem(row, column++, numberItem(amountText(sheet->secondAmount, decimalSeparator)));
    ++row;
  }
  // The whole form: the main page counts as a page of its own.
  table->setItem(row, 0, new QTableWidgetItem("Visa forma"));
  const int written = existing ? 4 : 3;
  table->setItem(row, written, countItem(summary.l.rowsWritten + summary.u.rowsWritten));
  table->setItem(row, written + 1, countItem(summary.pages()));
  table->resizeColumnsToContents();
  return table;
}

QTableWidget* makeCodeTable(const runs::RunSummary& summary, char decimalSeparator,
                            QWidget* parent) {
  auto* table = new QTableWidget(0, 4, parent);
  table->setObjectName("byCode");
  table->setHorizontalHeaderLabels({"Lapas", "Raidė ir kodas", "Eilučių", "Išmokos suma"});
  setUpReadOnlyTable(*table);
  for (const runs::SheetSummary* sheet : {&summary.l, &summary.u}) {
    for (const runs::SheetSummary::CodeTotal& total : sheet->byCode) {
      const int row = table->rowCount();
      table->insertRow(row);
      const std::string which = runs::codeLabel(total);
      table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(sheet->sheet)));
      table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(which)));
      table->setItem(row, 2, countItem(total.rows));
      table->setItem(row, 3, numberItem(amountText(total.amount, decimalSeparator)));
    }
  }
  table->resizeColumnsToContents();
  return table;
}

}  // namespace kvd507::gui
