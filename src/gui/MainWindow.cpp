#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcut>

#include "files/Folder.h"
#include "files/IoError.h"
#include "gui/AboutDialog.h"
#include "gui/DeclarationViewer.h"
#include "gui/EnterOnButtons.h"
#include "gui/ErrorReporter.h"
#include "gui/HoverLink.h"
#include "gui/KeptDeclarationsMenu.h"
#include "gui/MainWindowLook.h"
#include "gui/PayerSelector.h"
#include "gui/RunController.h"
#include "gui/RunResultDisplay.h"
#include "gui/ViewerOpener.h"
#include "runs/ChoiceDefaults.h"
#include "runs/KeptDeclarations.h"
#include "runs/ProgramFolder.h"
#include "spreadsheet/DecimalSeparator.h"
#include "ui_MainWindow.h"

namespace kvd507::gui {
namespace {

// LibreOffice users save the template as .ods, which is read as well.
constexpr const char* kWorkbookFilter = "XLS, XLSX, ODS (*.xls *.xlsx *.ods)";
constexpr const char* kDeclarationFilter = "FFDATA (*.ffdata)";
constexpr const char* kNoTemplateFolder = "Šablonų aplankas nerastas: ";

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The payer controls' errors go to the window's message boxes.
class ServicesErrorReporter : public ErrorReporter {
 public:
  explicit ServicesErrorReporter(WindowServices& services) : services_(services) {}
  void showError(QWidget* parent, const QString& text) override {
    services_.showMessage(parent, WindowServices::MessageKind::Error, text.toStdString());
  }
  bool confirmRemoval(QWidget* parent, const QString& question) override {
    return askRemovalInMessageBox(parent, question);
  }

 private:
  WindowServices& services_;
};

}  // namespace

MainWindow::MainWindow(std::filesystem::path programFolder, WindowServices& services,
                       runs::DesktopOpener& opener, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      folder_(std::move(programFolder)),
      services_(services),
      opener_(opener),
      declarationOpener_(std::make_unique<ViewerOpener>(opener)) {
  ui_->setupUi(this);
  declarationOpener_->setOnViewerOpened(
      [this](DeclarationViewer* viewer) { connectViewer(viewer); });
  run_ = std::make_unique<RunController>(
      *declarationOpener_, [this](const runs::WriteReview& review) { return reviewRun(review); });
  connect(run_.get(), &RunController::started, this, &MainWindow::showRunStarted);
  connect(run_.get(), &RunController::progress, this, &MainWindow::showProgress);
  connect(run_.get(), &RunController::finished, this, &MainWindow::showRunEnded);
  payerErrors_ = std::make_unique<ServicesErrorReporter>(services_);
  payerSelector_ = std::make_unique<PayerSelector>(
      PayerSelector::Controls{ui_->cb_asmuo, ui_->lb_kodas, ui_->dt_metai, ui_->btn_new,
                              ui_->btn_koreguoti, ui_->btn_salinti},
      folder_, *payerErrors_);
  // What a run reads of the payer follows the selector and lb_kodas whenever they are filled.
  connect(payerSelector_.get(), &PayerSelector::selectionShown, this, [this] {
    choices_.setPayer(
        {ui_->lb_kodas->text().toStdString(), ui_->cb_asmuo->currentText().toStdString()});
  });
  applyMainWindowLook(*this, *ui_, folder_);
  makeHoverLink(*ui_->lb_copyright, [this] { showAbout(); });
  fillYears();
  connectControls();
  makeViewerMenu();
  // The window still opens when the payers cannot be loaded; the failure has been shown, and
  // the status line keeps its first text until a run ends.
  if (loadPayers()) ui_->lb_action->setText(QString());
}

MainWindow::~MainWindow() = default;

bool MainWindow::runInProgress() const {
  return run_->running();
}

void MainWindow::setRowHook(std::function<void()> hook) {
  run_->setRowHook(std::move(hook));
}

const runs::RunRequest& MainWindow::runRequest() const {
  return run_->request();
}

void MainWindow::fillYears() {
  const QSignalBlocker quiet(ui_->dt_metai);
  const std::string selected = runs::defaultYear(runs::currentCalendarYear());
  for (const std::string& year : runs::yearChoices(runs::currentCalendarYear())) {
    ui_->dt_metai->addItem(qs(year));
  }
  ui_->dt_metai->setCurrentText(qs(selected));
  choices_.setYear(selected);
}

void MainWindow::connectControls() {
  connect(ui_->btn_open, &QPushButton::clicked, this, &MainWindow::chooseWorkbookInDialog);
  connect(ui_->btn_valyti, &QPushButton::clicked, this, &MainWindow::clearWorkbook);
  connect(ui_->btn_formos, &QPushButton::clicked, this, &MainWindow::openDeclarationFolder);
  connect(ui_->btn_template, &QPushButton::clicked, this, &MainWindow::openTemplateFolder);
  connect(ui_->btn_close, &QPushButton::clicked, this, &MainWindow::close);
  connect(ui_->btn_kvd507, &QPushButton::clicked, this, &MainWindow::makeDeclaration);
  connect(ui_->btn_papildyti, &QPushButton::clicked, this, &MainWindow::appendToDeclaration);
  connect(ui_->dt_metai, &QComboBox::currentIndexChanged, this, &MainWindow::chooseYear);
  // No button is a default button: Return and Enter press the focused one.
  letEnterPressButtons();

  // "Uždaryti programą" and "Išvalyti" are both cancel buttons: Escape presses the first of
  // them that is enabled, so it ends the program when idle and clears the choice during a run.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    if (ui_->btn_close->isEnabled()) {
      ui_->btn_close->click();
    } else if (ui_->btn_valyti->isEnabled()) {
      ui_->btn_valyti->click();
    }
  });
}

bool MainWindow::loadPayers() {
  return payerSelector_->loadAtStart();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  ui_->btn_close->setFocus();
}

void MainWindow::chooseWorkbookInDialog() {
  clearWrittenStatus();
  const auto file = services_.chooseFile(this, kWorkbookFilter);
  if (!file) {
    clearWorkbook();
    return;
  }
  chooseWorkbook(*file);
}

void MainWindow::chooseWorkbook(const std::filesystem::path& file) {
  const std::string path = file.string();
  const std::string name = file.filename().string();
  choices_.setWorkbook({path, name});
  ui_->lb_dok_pav->setText(qs(name));
  ui_->lb_dok_pav->setToolTip(qs(path));
  ui_->btn_kvd507->setEnabled(true);
  ui_->btn_papildyti->setEnabled(true);
}

void MainWindow::clearWorkbook() {
  clearWrittenStatus();
  choices_.clearWorkbook();
  ui_->lb_dok_pav->setText(qs(runs::kNoWorkbookName));
  ui_->lb_dok_pav->setToolTip(QString());
  ui_->btn_kvd507->setEnabled(false);
  ui_->btn_papildyti->setEnabled(false);
}

void MainWindow::openDeclarationFolder() {
  const std::filesystem::path folder = folder_ / "formos";
  try {
    files::createFolderIfMissing(folder);
  } catch (const files::IoError&) {
    // Opening it below fails as well, as quietly.
  }
  // The declaration written last is selected in it where the file manager can.
  if (const auto written = lastDeclaration(); written && written->parent_path() == folder) {
    opener_.showInFolder(*written);
  } else {
    opener_.launch(folder / "");
  }
}

void MainWindow::openTemplateFolder() {
  // A missing folder is told here: some desktops would answer it with an error window of their
  // own, others with nothing at all.
  const std::filesystem::path folder = folder_ / "sablonas";
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) {
    opener_.launch(folder / "");
    return;
  }
  std::filesystem::path shown = std::filesystem::absolute(folder, error);
  if (error) shown = folder;
  services_.showMessage(this, WindowServices::MessageKind::Error,
                        kNoTemplateFolder + shown.lexically_normal().string());
}

void MainWindow::makeDeclaration() {
  startRun(false);
}

void MainWindow::appendToDeclaration() {
  startRun(true);
}

void MainWindow::chooseYear() {
  // The payer selector reads the list again on a new year, and stores the position.
  choices_.setYear(ui_->dt_metai->currentText().toStdString());
}

void MainWindow::showAbout() {
  AboutDialog about(buildFacts(folder_), this);
  about.exec();
}

void MainWindow::setRunButtonsEnabled(bool enabled) {
  for (QPushButton* button :
       {ui_->btn_open, ui_->btn_kvd507, ui_->btn_papildyti, ui_->btn_formos, ui_->btn_close}) {
    button->setEnabled(enabled);
  }
}

void MainWindow::makeViewerMenu() {
  auto* menu = new QMenu(ui_->btn_perziura);
  menu->setObjectName("perziura_menu");
  menu->addAction(ui_->perziura_last);
  menu->addAction(ui_->perziura_choose);
  // The declarations that newer ones replaced, kept in formos/ankstesnės.
  QMenu* kept = menu->addMenu("Ankstesnės formos");
  kept->setObjectName("perziura_ankstesnes");
  connect(ui_->perziura_last, &QAction::triggered, this, &MainWindow::viewLastDeclaration);
  connect(ui_->perziura_choose, &QAction::triggered, this, &MainWindow::viewChosenDeclaration);
  // The last one is offered only while there is one, the kept ones as they are now.
  connect(menu, &QMenu::aboutToShow, this, [this, kept] {
    ui_->perziura_last->setEnabled(lastDeclaration().has_value());
    fillKeptMenu(
        *kept, runs::keptFolder(runs::declarationFile(folder_)),
        [this](const std::filesystem::path& file) { connectViewer(openViewer(file, nullptr)); });
  });
  ui_->btn_perziura->setMenu(menu);
}

std::optional<std::filesystem::path> MainWindow::lastDeclaration() const {
  std::error_code error;
  if (lastWritten_ && std::filesystem::is_regular_file(*lastWritten_, error)) return lastWritten_;
  const std::filesystem::path usual = runs::declarationFile(folder_);
  if (std::filesystem::is_regular_file(usual, error)) return usual;
  return std::nullopt;
}

void MainWindow::connectViewer(DeclarationViewer* viewer) {
  if (viewer == nullptr) return;
  viewer->setWorkbookServices(services_, opener_);
  // The workbook opened from the viewer is the one to make the corrected declaration from.
  connect(viewer, &DeclarationViewer::workbookOpened, this, [this](const QString& workbook) {
    if (!run_->running()) chooseWorkbook(workbook.toStdString());
  });
}

void MainWindow::viewLastDeclaration() {
  if (const auto file = lastDeclaration()) {
    connectViewer(openViewer(*file, nullptr));
  } else {
    viewChosenDeclaration();
  }
}

void MainWindow::viewChosenDeclaration() {
  if (const auto file = services_.chooseFile(this, kDeclarationFilter)) {
    connectViewer(openViewer(*file, nullptr));
  }
}

void MainWindow::clearWrittenStatus() {
  // During a run the line belongs to the run.
  if (!run_->running()) ui_->lb_action->setText(QString());
}

runs::RunRequest MainWindow::makeRequest(std::optional<std::filesystem::path> existing) const {
  runs::RunRequest request;
  const handover::WindowChoices::Workbook workbook = choices_.workbook();
  request.workbookPath = workbook.path;
  request.workbookName = workbook.name;
  request.existingDeclaration = std::move(existing);
  const handover::WindowChoices::Payer payer = choices_.payer();
  request.payerCode = payer.code;
  request.payerName = payer.name;
  request.year = choices_.year();
  request.outputFile = runs::declarationFile(folder_);
  request.keepReplaced = true;
  request.decimalSeparator = spreadsheet::decimalSeparatorFromEnvironment();
  request.askBeforeWriting = true;
  return request;
}

void MainWindow::startRun(bool append) {
  if (run_->running()) return;
  clearWrittenStatus();
  setRunButtonsEnabled(false);

  // The question is asked here, on the interface thread, before the work starts; a cancelled
  // dialog ends the run before anything is read or written.
  std::optional<std::filesystem::path> existing;
  if (append) {
    existing = services_.chooseFile(this, kDeclarationFilter);
    if (!existing) {
      setRunButtonsEnabled(true);
      ui_->lb_action->setText(QStringLiteral("Papildymas atšauktas"));
      return;
    }
  }
  // Taken once: the selectors changed during the run are for the next one.
  run_->start(makeRequest(std::move(existing)));
}

void MainWindow::showRunStarted() {
  // The busy cursor is the main window's own: the dialogs a run or the user opens meanwhile
  // (its messages, the payer dialog) keep the ordinary one.
  setCursor(Qt::WaitCursor);
}

bool MainWindow::reviewRun(const runs::WriteReview& review) {
  return services_.reviewDeclaration(this, review, spreadsheet::decimalSeparatorFromEnvironment());
}

void MainWindow::showProgress(const QString& status, int position, int maximum) {
  ui_->lb_action->setText(status);
  ui_->ProgressBar1->setMaximum(maximum);
  ui_->ProgressBar1->setValue(position);
}

void MainWindow::showRunEnded(const runs::RunResult& result) {
  // Messages come while the window still shows itself busy; nobody reads them when closing.
  if (!closeWhenRunEnds_) tellRunResult(services_, this, result);

  setRunButtonsEnabled(true);
  // What the run did stays in sight until the next action.
  const QString status = statusAfterRun(result);
  ui_->lb_action->setText(status);
  ui_->lb_action->setToolTip(status);
  if (result.written) lastWritten_ = *result.written;
  ui_->ProgressBar1->setValue(0);
  unsetCursor();
  emit runEnded();
  if (closeWhenRunEnds_) close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_->running()) {
    // Stop the run at its next row; the window closes once it has put everything back.
    closeWhenRunEnds_ = true;
    run_->stop();
    event->ignore();
    return;
  }
  // A viewer the run opened goes with the window; those the user opened stay until closed.
  declarationOpener_->closeViewers();
  event->accept();
}

}  // namespace kvd507::gui
