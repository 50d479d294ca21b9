#include "gui/RunReportDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/EnterOnButtons.h"
#include "runs/FindingsText.h"

namespace kvd507::gui {
namespace {

QString text(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

RunReportDialog::RunReportDialog(const runs::RunReport& report, char decimalSeparator,
                                 QWidget* parent)
    : QDialog(parent), table_(runs::findingsAsTable(report.findings)) {
  setWindowTitle("Formos santrauka");
  letEnterPressButtons();
  auto* layout = new QVBoxLayout(this);

  auto* summary = new QPlainTextEdit(this);
  summary->setObjectName("summary");
  summary->setReadOnly(true);
  for (const std::string& line : runs::describeSummary(report.summary, decimalSeparator)) {
    summary->appendPlainText(text(line));
  }
  layout->addWidget(new QLabel("Santrauka:", this));
  layout->addWidget(summary);

  layout->addWidget(new QLabel("Pastabos:", this));
  layout->addWidget(makeTable(report), 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* copy = buttons->addButton("Kopijuoti pastabas", QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  connect(copy, &QPushButton::clicked, this, &RunReportDialog::copyFindings);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(760, 480);
}

QTableWidget* RunReportDialog::makeTable(const runs::RunReport& report) {
  auto* table = new QTableWidget(static_cast<int>(report.findings.size()), 4, this);
  table->setObjectName("findings");
  table->setHorizontalHeaderLabels({"Lapas", "Eilutė", "Stulpelis", "Pastaba"});
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  int r = 0;
  for (const rows::Finding& f : report.findings) {
    table->setItem(r, 0, new QTableWidgetItem(text(f.sheet)));
    table->setItem(r, 1, new QTableWidgetItem(f.row != 0 ? QString::number(f.row) : QString()));
    table->setItem(r, 2, new QTableWidgetItem(text(f.column)));
    auto* said = new QTableWidgetItem(text(f.text));
    said->setToolTip(said->text());  // a long text is cut at the window's edge
    table->setItem(r, 3, said);
    ++r;
  }
  table->resizeColumnsToContents();
  return table;
}

void RunReportDialog::copyFindings() const {
  QApplication::clipboard()->setText(text(table_));
}

}  // namespace kvd507::gui
