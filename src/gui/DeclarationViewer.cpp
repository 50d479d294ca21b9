#include "gui/DeclarationViewer.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "errors/Headlines.h"
#include "gui/AppendixModel.h"
#include "gui/DeclarationPrint.h"
#include "gui/DeclarationTables.h"
#include "gui/SummaryTables.h"
#include "rows/Amount.h"

namespace kvd507::gui {
namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

QLabel* valueLabel(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

std::optional<QString> askForPdf(QWidget* parent, const QString& suggested) {
  const QString file =
      QFileDialog::getSaveFileName(parent, "Išsaugoti PDF", suggested, "PDF (*.pdf)");
  if (file.isEmpty()) return std::nullopt;
  return file.endsWith(".pdf", Qt::CaseInsensitive) ? file : file + ".pdf";
}

}  // namespace

DeclarationViewer::DeclarationViewer(runs::DeclarationContent content, char decimalSeparator,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      content_(std::move(content)),
      separator_(decimalSeparator),
      askPdf_(askForPdf) {
  const QString name = QFileInfo(q(content_.file.string())).fileName();
  setWindowTitle("KVD507 forma – " + name);
  auto* layout = new QVBoxLayout(this);

  auto* header = new QFormLayout;
  header->addRow("Mokėtojo kodas (B_MM_ID):", valueLabel(q(content_.header.id), "payerCode", this));
  header->addRow("Mokėtojas (B_MM_Pavad):", valueLabel(q(content_.payerName), "payerName", this));
  header->addRow("Metai (B_ML_Metai):", valueLabel(q(content_.header.year), "year", this));
  header->addRow("Puslapių:", valueLabel(QString::number(content_.pages), "pages", this));
  header->addRow("Failas:", valueLabel(q(content_.file.string()), "file", this));
  layout->addLayout(header);

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName("tabs");
  tabs->addTab(makeAppendix(false), QString("L priedas (%1)").arg(content_.lRows.size()));
  tabs->addTab(makeAppendix(true), QString("U priedas (%1)").arg(content_.uRows.size()));
  tabs->addTab(makeTotals(), "Sumos");
  auto* findings = new QPlainTextEdit(this);
  findings->setObjectName("findings");
  findings->setReadOnly(true);
  for (const QString& line : findingLines(content_)) findings->appendPlainText(line);
  tabs->addTab(findings, QString("Pastabos (%1)").arg(content_.findings.size()));
  layout->addWidget(tabs, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* print = buttons->addButton("Spausdinti…", QDialogButtonBox::ActionRole);
  print->setObjectName("print");
  QPushButton* pdf = buttons->addButton("Išsaugoti PDF…", QDialogButtonBox::ActionRole);
  pdf->setObjectName("pdf");
  QPushButton* workbook = buttons->addButton("Atverti darbaknygėje…", QDialogButtonBox::ActionRole);
  workbook->setObjectName("openInWorkbook");
  connect(workbook, &QPushButton::clicked, this, &DeclarationViewer::openInWorkbook);
  QPushButton* close = buttons->addButton("Uždaryti", QDialogButtonBox::RejectRole);
  close->setObjectName("close");
  connect(print, &QPushButton::clicked, this, &DeclarationViewer::print);
  connect(pdf, &QPushButton::clicked, this, &DeclarationViewer::savePdf);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(buttons);
  // A window for looking at closes as a dialog does.
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close),
                                   QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
  resize(1000, 640);
}

QTableView* DeclarationViewer::makeAppendix(bool u) {
  auto* view = new QTableView(this);
  view->setObjectName(u ? "KVD507U" : "KVD507L");
  view->setModel(new AppendixModel(content_, u, view));
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setWordWrap(false);
  view->verticalHeader()->setVisible(false);
  // Every row one line high, so that the view never measures a million of them.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setResizeContentsPrecision(500);
  view->resizeColumnsToContents();
  return view;
}

QWidget* DeclarationViewer::makeTotals() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* totals = new QTableWidget(2, 5, page);
  totals->setObjectName("totals");
  totals->setHorizontalHeaderLabels(
      {"Priedas", "Eilučių", "Puslapių", "Išmokos suma", "Išskaičiuota mokesčio suma"});
  setUpReadOnlyTable(*totals);
  int row = 0;
  for (const runs::SheetSummary* sheet : {&content_.summary.l, &content_.summary.u}) {
    const QStringList cells{q(sheet->sheet), QString::number(sheet->rowsWritten),
                            QString::number(sheet->pages),
                            q(rows::formatAmount(sheet->amount, separator_)),
                            q(rows::formatAmount(sheet->secondAmount, separator_))};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      totals->setItem(row, column, item);
    }
    ++row;
  }
  totals->resizeColumnsToContents();
  totals->setMaximumHeight(totals->horizontalHeader()->height() + 2 * totals->rowHeight(0) +
                           2 * totals->frameWidth());
  layout->addWidget(totals);
  layout->addWidget(new QLabel("Pagal raidę ir kodą:", page));
  layout->addWidget(makeCodeTable(content_.summary, separator_, page), 1);
  return page;
}

void DeclarationViewer::print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  printer.setDocName(windowTitle());
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle("Spausdinti formą");
  if (dialog.exec() != QDialog::Accepted) return;
  if (paintDeclaration(printer, content_, separator_) == 0) {
    QMessageBox::critical(this, "KVD507", q(std::string(headline::kCannotPrint) + "."));
  }
}

void DeclarationViewer::savePdf() {
  const QFileInfo declaration(q(content_.file.string()));
  const QString suggested = declaration.dir().filePath(declaration.completeBaseName() + ".pdf");
  const std::optional<QString> file = askPdf_(this, suggested);
  if (!file) return;
  QString error;
  if (!writeDeclarationPdf(content_, *file, separator_, error)) {
    QMessageBox::critical(this, "KVD507", q(std::string(headline::kCannotWritePdf) + ": ") + error);
  }
}

}  // namespace kvd507::gui
