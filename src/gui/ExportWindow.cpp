#include "gui/ExportWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QThread>
#include <exception>

#include "files/Folder.h"
#include "files/IoError.h"
#include "gui/AboutDialog.h"
#include "gui/DeclarationViewer.h"
#include "gui/EnterOnButtons.h"
#include "gui/ErrorReporter.h"
#include "gui/KeptDeclarationsMenu.h"
#include "gui/MiddleElision.h"
#include "gui/PayerSelector.h"
#include "gui/ViewerOpener.h"
#include "gui/WindowLook.h"
#include "gui/WindowRunHost.h"
#include "runs/ConversionRun.h"
#include "runs/KeptDeclarations.h"
#include "runs/ProgramFolder.h"
#include "runs/WindowState.h"
#include "ui_ExportWindow.h"
#include "workbook/DecimalSeparator.h"

namespace kvd507::gui {
namespace {

// LibreOffice users save the template as .ods, which is read as well.
constexpr const char* kWorkbookFilter = "XLS, XLSX, ODS (*.xls *.xlsx *.ods)";
constexpr const char* kDeclarationFilter = "FFDATA (*.ffdata)";
// The status line and progress bar are repainted at most this often during a run.
constexpr int kProgressIntervalMs = 30;
constexpr const char* kNoTemplateFolder = "Šablonų aplankas nerastas: ";
// Neither a program of the desktop nor the viewer could show the declaration just written.
constexpr const char* kOpenFailed = "Forma įrašyta, bet jos atidaryti nepavyko: ";

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

Tfrm_export_xml::Tfrm_export_xml(std::filesystem::path programFolder, WindowServices& services,
                                 runs::DesktopOpener& opener, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Tfrm_export_xml>()),
      folder_(std::move(programFolder)),
      services_(services),
      opener_(opener),
      declarationOpener_(std::make_unique<ViewerOpener>(opener)) {
  ui_->setupUi(this);
  static_cast<ViewerOpener&>(*declarationOpener_)
      .setOnViewerOpened([this](DeclarationViewer* viewer) { connectViewer(viewer); });
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
  applyLook();
  fillYears();
  connectControls();
  addViewerButton();
  FormCreate();
}

Tfrm_export_xml::~Tfrm_export_xml() {
  if (runThread_) {
    // Only reached when the window is destroyed without being closed (a test, say): the run
    // must not outlive the state it writes. It may be waiting for a message to be shown here.
    runThread_->disconnect(this);
    runHost_->requestStop();
    while (!runThread_->wait(10)) QCoreApplication::processEvents();
    delete runThread_;
  }
}

void Tfrm_export_xml::applyLook() {
  setWindowTitle(qs(runs::kWindowCaption));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(725, 617);
  setFont(windowFont());
  for (QWidget* panel : {static_cast<QWidget*>(this), static_cast<QWidget*>(ui_->Panel1),
                         static_cast<QWidget*>(ui_->Panel2), static_cast<QWidget*>(ui_->Panel3),
                         static_cast<QWidget*>(ui_->StatusBar1)}) {
    paintCream(*panel);
  }
  setButtonIcon(*ui_->btn_new, "list-add", QStyle::SP_FileDialogNewFolder);
  setButtonIcon(*ui_->btn_koreguoti, "document-edit", QStyle::SP_FileDialogDetailedView);
  setButtonIcon(*ui_->btn_salinti, "list-remove", QStyle::SP_TrashIcon);
  setButtonIcon(*ui_->btn_open, "document-open", QStyle::SP_DialogOpenButton);
  setButtonIcon(*ui_->btn_valyti, "edit-clear", QStyle::SP_DialogResetButton);
  setButtonIcon(*ui_->btn_kvd507, "document-save", QStyle::SP_DialogSaveButton);
  setButtonIcon(*ui_->btn_papildyti, "document-save-as", QStyle::SP_FileDialogContentsView);
  setButtonIcon(*ui_->btn_close, "application-exit", QStyle::SP_DialogCloseButton);
  ui_->lb_copyright->setFont(copyrightFont());
  setCopyrightHighlighted(false);
  ui_->lb_copyright->installEventFilter(this);
  // A long workbook name keeps its end, and with it its extension; the tooltip has the path.
  elideInTheMiddle(*ui_->lb_dok_pav);
  ui_->StatusBar1->setSizeGripEnabled(false);
  // One empty panel, 150 pixels wide; nothing writes to it.
  auto* statusPanel = new QLabel(ui_->StatusBar1);
  statusPanel->setFixedWidth(150);
  ui_->StatusBar1->addWidget(statusPanel);
  showProgramFolder();
}

void Tfrm_export_xml::showProgramFolder() {
  // Beside the empty panel: where the templates, the payers and the declarations are, which for
  // an installed program is a folder in the user's home rather than the program's own.
  auto* label = new QLabel(ui_->StatusBar1);
  label->setObjectName(QStringLiteral("lb_aplankas"));
  const QString path = QString::fromStdString(folder_.string());
  const QString caption = QStringLiteral("Programos aplankas: ");
  const int room = width() - 150 - 40 - label->fontMetrics().horizontalAdvance(caption);
  label->setText(caption + label->fontMetrics().elidedText(path, Qt::ElideMiddle, room));
  label->setToolTip(path);
  ui_->StatusBar1->addWidget(label, 1);
}

void Tfrm_export_xml::fillYears() {
  const QSignalBlocker quiet(ui_->dt_metai);
  const std::string selected = runs::defaultYear(runs::currentCalendarYear());
  for (const std::string& year : runs::yearChoices(runs::currentCalendarYear())) {
    ui_->dt_metai->addItem(qs(year));
  }
  ui_->dt_metai->setCurrentText(qs(selected));
  choices_.setYear(selected);
}

void Tfrm_export_xml::connectControls() {
  connect(ui_->btn_open, &QPushButton::clicked, this, &Tfrm_export_xml::btn_openClick);
  connect(ui_->btn_valyti, &QPushButton::clicked, this, &Tfrm_export_xml::btn_valytiClick);
  connect(ui_->btn_formos, &QPushButton::clicked, this, &Tfrm_export_xml::btn_formosClick);
  connect(ui_->btn_template, &QPushButton::clicked, this, &Tfrm_export_xml::btn_templateClick);
  connect(ui_->btn_close, &QPushButton::clicked, this, &Tfrm_export_xml::btn_closeClick);
  connect(ui_->btn_kvd507, &QPushButton::clicked, this, &Tfrm_export_xml::btn_kvd507Click);
  connect(ui_->btn_papildyti, &QPushButton::clicked, this, &Tfrm_export_xml::btn_papildytiClick);
  connect(ui_->dt_metai, &QComboBox::currentIndexChanged, this, &Tfrm_export_xml::dt_metaiChange);
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

  progressTimer_.setInterval(kProgressIntervalMs);
  connect(&progressTimer_, &QTimer::timeout, this, &Tfrm_export_xml::showProgress);
}

void Tfrm_export_xml::FormCreate() {
  // The window still opens when the payers cannot be loaded; the failure has been shown, and
  // the status line keeps its first text until a run ends.
  if (!LoadPayers()) return;
  ui_->lb_action->setText(QString());
}

bool Tfrm_export_xml::LoadPayers() {
  return payerSelector_->loadAtStart();
}

void Tfrm_export_xml::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  ui_->btn_close->setFocus();
}

void Tfrm_export_xml::btn_openClick() {
  clearWrittenStatus();
  const auto file = services_.chooseFile(this, kWorkbookFilter);
  if (!file) {
    btn_valytiClick();
    return;
  }
  chooseWorkbook(*file);
}

void Tfrm_export_xml::chooseWorkbook(const std::filesystem::path& file) {
  const std::string path = file.string();
  const std::string name = file.filename().string();
  choices_.setWorkbook({path, name});
  ui_->lb_dok_link->setText(qs(path));
  ui_->lb_dok_pav->setText(qs(name));
  ui_->lb_dok_pav->setToolTip(qs(path));
  ui_->btn_kvd507->setEnabled(true);
  ui_->btn_papildyti->setEnabled(true);
}

void Tfrm_export_xml::btn_valytiClick() {
  clearWrittenStatus();
  choices_.clearWorkbook();
  ui_->lb_dok_link->setText(qs(runs::kNoWorkbookPath));
  ui_->lb_dok_pav->setText(qs(runs::kNoWorkbookName));
  ui_->lb_dok_pav->setToolTip(QString());
  ui_->btn_kvd507->setEnabled(false);
  ui_->btn_papildyti->setEnabled(false);
}

void Tfrm_export_xml::btn_formosClick() {
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

void Tfrm_export_xml::btn_templateClick() {
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

void Tfrm_export_xml::btn_closeClick() {
  close();
}

void Tfrm_export_xml::btn_kvd507Click() {
  startRun(false);
}

void Tfrm_export_xml::btn_papildytiClick() {
  startRun(true);
}

void Tfrm_export_xml::dt_metaiChange() {
  // The payer selector reads the list again on a new year, and stores the position.
  choices_.setYear(ui_->dt_metai->currentText().toStdString());
}

void Tfrm_export_xml::lb_copyrightClick() {
  AboutDialog about(buildFacts(folder_), this);
  about.exec();
}

bool Tfrm_export_xml::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->lb_copyright) {
    switch (event->type()) {
      case QEvent::Enter:
        setCopyrightHighlighted(true);
        break;
      case QEvent::Leave:
        setCopyrightHighlighted(false);
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) lb_copyrightClick();
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Tfrm_export_xml::setCopyrightHighlighted(bool highlighted) {
  QLabel& label = *ui_->lb_copyright;
  QFont font = label.font();
  font.setBold(highlighted);
  label.setFont(font);
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, highlighted ? QColor(0, 0, 255) : QColor(0, 0, 128));
  label.setPalette(palette);
  label.setCursor(highlighted ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void Tfrm_export_xml::setRunButtonsEnabled(bool enabled) {
  for (QPushButton* button :
       {ui_->btn_open, ui_->btn_kvd507, ui_->btn_papildyti, ui_->btn_formos, ui_->btn_close}) {
    button->setEnabled(enabled);
  }
}

void Tfrm_export_xml::addViewerButton() {
  // Below "Uždaryti programą", in the bottom panel's free corner.
  auto* button = new QPushButton("Peržiūrėti formą", ui_->Panel1);
  button->setObjectName("btn_perziura");
  button->setGeometry(385, 140, 310, 35);
  setButtonIcon(*button, "document-print-preview", QStyle::SP_FileDialogContentsView);
  auto* menu = new QMenu(button);
  menu->setObjectName("perziura_menu");
  QAction* last = menu->addAction("Paskutinė suformuota forma");
  last->setObjectName("perziura_last");
  QAction* chosen = menu->addAction("Pasirinkti formą…");
  chosen->setObjectName("perziura_choose");
  // The declarations that newer ones replaced, kept in formos/ankstesnės.
  QMenu* kept = menu->addMenu("Ankstesnės formos");
  kept->setObjectName("perziura_ankstesnes");
  connect(last, &QAction::triggered, this, &Tfrm_export_xml::viewLastDeclaration);
  connect(chosen, &QAction::triggered, this, &Tfrm_export_xml::viewChosenDeclaration);
  // The last one is offered only while there is one, the kept ones as they are now.
  connect(menu, &QMenu::aboutToShow, this, [this, last, kept] {
    last->setEnabled(lastDeclaration().has_value());
    fillKeptMenu(
        *kept, runs::keptFolder(runs::declarationFile(folder_)),
        [this](const std::filesystem::path& file) { connectViewer(openViewer(file, nullptr)); });
  });
  button->setMenu(menu);
  setTabOrder(ui_->btn_close, button);
  button->show();
}

std::optional<std::filesystem::path> Tfrm_export_xml::lastDeclaration() const {
  std::error_code error;
  if (lastWritten_ && std::filesystem::is_regular_file(*lastWritten_, error)) return lastWritten_;
  const std::filesystem::path usual = runs::declarationFile(folder_);
  if (std::filesystem::is_regular_file(usual, error)) return usual;
  return std::nullopt;
}

void Tfrm_export_xml::connectViewer(DeclarationViewer* viewer) {
  if (viewer == nullptr) return;
  viewer->setWorkbookServices(services_, opener_);
  // The workbook opened from the viewer is the one to make the corrected declaration from.
  connect(viewer, &DeclarationViewer::workbookOpened, this, [this](const QString& workbook) {
    if (!runThread_) chooseWorkbook(workbook.toStdString());
  });
}

void Tfrm_export_xml::viewLastDeclaration() {
  if (const auto file = lastDeclaration()) {
    connectViewer(openViewer(*file, nullptr));
  } else {
    viewChosenDeclaration();
  }
}

void Tfrm_export_xml::viewChosenDeclaration() {
  if (const auto file = services_.chooseFile(this, kDeclarationFilter)) {
    connectViewer(openViewer(*file, nullptr));
  }
}

void Tfrm_export_xml::clearWrittenStatus() {
  // During a run the line belongs to the run.
  if (!runThread_) ui_->lb_action->setText(QString());
}

runs::RunRequest Tfrm_export_xml::makeRequest(std::optional<std::filesystem::path> existing) const {
  runs::RunRequest request;
  const WindowChoices::Workbook workbook = choices_.workbook();
  request.workbookPath = workbook.path;
  request.workbookName = workbook.name;
  request.existingDeclaration = std::move(existing);
  const WindowChoices::Payer payer = choices_.payer();
  request.payerCode = payer.code;
  request.payerName = payer.name;
  request.year = choices_.year();
  request.outputFile = runs::declarationFile(folder_);
  request.keepReplaced = true;
  request.decimalSeparator = workbook::decimalSeparatorFromEnvironment();
  request.askBeforeWriting = true;
  return request;
}

void Tfrm_export_xml::startRun(bool append) {
  if (runThread_) return;
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

  // The busy cursor is the main window's own: the dialogs a run or the user opens meanwhile
  // (its messages, the payer dialog) keep the ordinary one.
  setCursor(Qt::WaitCursor);

  runHost_ = std::make_unique<WindowRunHost>(
      progress_,
      [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      },
      [this](const runs::WriteReview& review) { return reviewRun(review); });
  runHost_->setRowHook(rowHook_);

  // Taken once: the selectors changed during the run are for the next one.
  request_ = makeRequest(std::move(existing));
  result_ = {};
  WindowRunHost& host = *runHost_;
  runThread_ = QThread::create([this, &host, request = request_] {
    result_ = runs::runConversion(request, host, &host, *declarationOpener_);
  });
  connect(runThread_, &QThread::finished, this, &Tfrm_export_xml::finishRun);
  progressTimer_.start();
  runThread_->start();
}

void Tfrm_export_xml::tellRunResult(const runs::RunResult& result) {
  for (const runs::RunMessage& message : result.messages) {
    const auto kind = message.kind == runs::RunMessage::Kind::Error
                          ? WindowServices::MessageKind::Error
                      : message.kind == runs::RunMessage::Kind::Warning
                          ? WindowServices::MessageKind::Warning
                          : WindowServices::MessageKind::Information;
    services_.showMessage(this, kind, message.text, message.detail);
  }
  // What was put to the user before writing is not shown a second time.
  if (result.report && !result.reviewed && !result.report->findings.empty()) {
    showRunReport(*result.report);
  }
  if (result.openFailed && result.written) {
    services_.showMessage(this, WindowServices::MessageKind::Error,
                          kOpenFailed + result.written->string());
  }
}

bool Tfrm_export_xml::reviewRun(const runs::WriteReview& review) {
  showProgress();
  return services_.reviewDeclaration(this, review, workbook::decimalSeparatorFromEnvironment());
}

void Tfrm_export_xml::showRunReport(const runs::RunReport& report) {
  showProgress();
  services_.showReport(this, report, workbook::decimalSeparatorFromEnvironment());
}

void Tfrm_export_xml::showProgress() {
  RunProgress::Snapshot snapshot;
  if (!progress_.take(snapshot)) return;
  ui_->lb_action->setText(QString::fromStdString(snapshot.status));
  ui_->ProgressBar1->setMaximum(snapshot.maximum);
  ui_->ProgressBar1->setValue(snapshot.position);
}

void Tfrm_export_xml::finishRun() {
  runThread_->wait();
  delete runThread_;
  runThread_ = nullptr;
  runHost_.reset();
  progressTimer_.stop();
  showProgress();
  const runs::RunResult result = std::move(result_);
  result_ = {};
  // Messages come while the window still shows itself busy; nobody reads them when closing.
  if (!closeWhenRunEnds_) tellRunResult(result);

  setRunButtonsEnabled(true);
  // What was written, and where the declaration it replaced went, stays in sight until the
  // next action.
  QString status;
  if (result.written && result.report) {
    std::string text = runs::writtenStatus(*result.written, result.report->summary);
    if (result.kept) text += "; ankstesnė išsaugota: " + result.kept->string();
    status = qs(text);
  } else if (result.reviewed && result.outcome == runs::RunOutcome::Cancelled) {
    // The user looked at what was read and chose not to write it.
    status = QStringLiteral("Forma neįrašyta");
  }
  ui_->lb_action->setText(status);
  ui_->lb_action->setToolTip(status);
  if (result.written) lastWritten_ = *result.written;
  ui_->ProgressBar1->setValue(0);
  unsetCursor();
  emit runEnded();
  if (closeWhenRunEnds_) close();
}

void Tfrm_export_xml::closeEvent(QCloseEvent* event) {
  if (runThread_) {
    // Stop the run at its next row; the window closes once it has put everything back.
    closeWhenRunEnds_ = true;
    runHost_->requestStop();
    event->ignore();
    return;
  }
  // A viewer the run opened goes with the window; those the user opened stay until closed.
  declarationOpener_->closeViewers();
  event->accept();
}

}  // namespace kvd507::gui
