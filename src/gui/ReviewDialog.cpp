#include "gui/ReviewDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/SummaryTables.h"
#include "runs/FindingGroups.h"
#include "runs/FindingsText.h"

namespace kvd507::gui {
namespace {

QString text(const std::string& s) {
  return QString::fromStdString(s);
}

// Groups that concern a whole sheet or lose data stand out.
QColor weightColour(runs::FindingWeight weight) {
  switch (weight) {
    case runs::FindingWeight::WholeSheet:
      return {160, 0, 0};
    case runs::FindingWeight::DataLost:
      return {150, 80, 0};
    case runs::FindingWeight::Other:
      break;
  }
  return {0, 0, 0};
}

// A table's height for all its rows, so that the short summary takes no scrolling.
void fitHeight(QTableWidget& table) {
  int height = table.horizontalHeader()->height() + 2 * table.frameWidth();
  for (int row = 0; row < table.rowCount(); ++row) height += table.rowHeight(row);
  table.setMaximumHeight(height);
  table.setMinimumHeight(std::min(height, 160));
}

}  // namespace

ReviewDialog::ReviewDialog(const runs::RunReport& report, char decimalSeparator, QWidget* parent)
    : QDialog(parent),
      table_(runs::findingsAsTable(report.findings)),
      shown_(static_cast<int>(report.findings.size())) {
  setWindowTitle("Formos peržiūra");
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel("Forma dar neįrašyta. Ką ji turės:", this));
  QTableWidget* sheets = makeSheetTable(report.summary, decimalSeparator, this);
  fitHeight(*sheets);
  layout->addWidget(sheets);
  QTableWidget* codes = makeCodeTable(report.summary, decimalSeparator, this);
  fitHeight(*codes);
  layout->addWidget(codes);

  auto* heading = new QLabel(
      QString("Pastabos (%1). Svarbiausios pirmos; išskleiskite grupę, kad matytumėte eilutes:")
          .arg(runs::countFindings(report.findings)),
      this);
  layout->addWidget(heading);
  layout->addWidget(makeFindings(report), 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* write = buttons->addButton("Formuoti", QDialogButtonBox::AcceptRole);
  write->setObjectName("write");
  QPushButton* cancel = buttons->addButton("Atšaukti", QDialogButtonBox::RejectRole);
  cancel->setObjectName("cancel");
  QPushButton* copy = buttons->addButton("Kopijuoti pastabas", QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  // Pressing Enter by habit must not replace the previous declaration.
  write->setAutoDefault(false);
  cancel->setDefault(true);
  connect(copy, &QPushButton::clicked, this, &ReviewDialog::copyFindings);
  copied_ = new QLabel(this);
  copied_->setObjectName("copied");
  layout->addWidget(copied_);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(860, 620);
}

ReviewDialog::ReviewDialog(const runs::WriteReview& review, char decimalSeparator, QWidget* parent)
    : ReviewDialog(review.report, decimalSeparator, parent) {
  addFacts(review, decimalSeparator);
}

void ReviewDialog::addFacts(const runs::WriteReview& review, char decimalSeparator) {
  std::vector<std::string> lines = runs::reviewFacts(review, decimalSeparator);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  int at = 0;
  const auto addLabel = [this, layout, &at](const QString& shown, const char* name) {
    auto* label = new QLabel(shown, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->insertWidget(at++, label);
    return label;
  };
  // A declaration of another payer or year than the one chosen is the first thing read.
  if (runs::chosenPayerDiffers(review)) {
    QLabel* differs = addLabel(text(lines.front()), "differs");
    QPalette palette = differs->palette();
    palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
    differs->setPalette(palette);
    QFont bold = differs->font();
    bold.setBold(true);
    differs->setFont(bold);
    lines.erase(lines.begin());
  }
  QStringList rest;
  for (const std::string& line : lines) rest << text(line);
  addLabel(rest.join('\n'), "facts");
  if (runs::writeByDefault(review)) {
    auto* write = findChild<QPushButton*>("write");
    auto* cancel = findChild<QPushButton*>("cancel");
    cancel->setDefault(false);
    cancel->setAutoDefault(false);
    write->setAutoDefault(true);
    write->setDefault(true);
  }
}

QTreeWidget* ReviewDialog::makeFindings(const runs::RunReport& report) {
  auto* tree = new QTreeWidget(this);
  tree->setObjectName("findings");
  tree->setColumnCount(4);
  tree->setHeaderLabels({"Pastaba", "Lapas", "Eilutė", "Stulpelis"});
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (const runs::FindingGroup& group : runs::groupFindings(report.findings)) {
    auto* top = new QTreeWidgetItem(tree);
    top->setText(0, QString("%1 (%2)").arg(text(group.title)).arg(group.count));
    top->setForeground(0, weightColour(group.weight));
    QFont bold = top->font(0);
    bold.setBold(group.weight != runs::FindingWeight::Other);
    top->setFont(0, bold);
    top->setFirstColumnSpanned(true);
    for (const rows::Finding& f : group.findings) {
      auto* item = new QTreeWidgetItem(top);
      item->setText(0, text(f.text));
      item->setToolTip(0, text(f.text));  // a long text is cut at the window's edge
      item->setText(1, text(f.sheet));
      item->setText(2, f.row != 0 ? QString::number(f.row) : QString());
      item->setText(3, text(f.column));
    }
  }
  tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tree->header()->setStretchLastSection(false);
  // A few findings are all shown at once; many are left to open group by group.
  if (report.findings.size() <= 12 || tree->topLevelItemCount() == 1) tree->expandAll();
  return tree;
}

void ReviewDialog::copyFindings() {
  QApplication::clipboard()->setText(text(table_));
  copied_->setText(QString("Pastabos nukopijuotos į iškarpinę (%1 eil.): įdėkite jas į "
                           "skaičiuoklę ar laišką.")
                       .arg(shown_));
}

}  // namespace kvd507::gui
