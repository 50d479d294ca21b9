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
#include "gui/EnterOnButtons.h"
#include "gui/ErrorReporter.h"
#include "gui/MiddleElision.h"
#include "gui/PayerSelector.h"
#include "gui/ViewerOpener.h"
#include "gui/WindowLook.h"
#include "gui/WindowRunHost.h"
#include "runs/ConversionRun.h"
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
  connect(ui_->btn_new, &QPushButton::clicked, this, &Tfrm_export_xml::btn_newClick);
  connect(ui_->btn_koreguoti, &QPushButton::clicked, this, &Tfrm_export_xml::btn_koreguotiClick);
  connect(ui_->btn_salinti, &QPushButton::clicked, this, &Tfrm_export_xml::btn_salintiClick);
  connect(ui_->cb_asmuo, &QComboBox::currentIndexChanged, this, &Tfrm_export_xml::cb_asmuoChange);
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
  const std::string path = file->string();
  const std::string name = file->filename().string();
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

void Tfrm_export_xml::btn_newClick() {
  payerSelector_->btn_newClick();
}

void Tfrm_export_xml::btn_koreguotiClick() {
  payerSelector_->btn_koreguotiClick();
}

void Tfrm_export_xml::btn_salintiClick() {
  payerSelector_->btn_salintiClick();
}

void Tfrm_export_xml::cb_asmuoChange() {
  payerSelector_->cb_asmuoChange();
}

void Tfrm_export_xml::dt_metaiChange() {
  choices_.setYear(ui_->dt_metai->currentText().toStdString());
  // The year selector shares the payer selector's handler: the list is read again and the
  // position stored.
  cb_asmuoChange();
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
  connect(last, &QAction::triggered, this, &Tfrm_export_xml::viewLastDeclaration);
  connect(chosen, &QAction::triggered, this, &Tfrm_export_xml::viewChosenDeclaration);
  // The last one is offered only while there is one.
  connect(menu, &QMenu::aboutToShow, this,
          [this, last] { last->setEnabled(lastDeclaration().has_value()); });
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

void Tfrm_export_xml::viewLastDeclaration() {
  if (const auto file = lastDeclaration()) {
    openViewer(*file, nullptr);
  } else {
    viewChosenDeclaration();
  }
}

void Tfrm_export_xml::viewChosenDeclaration() {
  if (const auto file = services_.chooseFile(this, kDeclarationFilter)) openViewer(*file, nullptr);
}

void Tfrm_export_xml::clearWrittenStatus() {
  // During a run the line belongs to the run.
  if (!runThread_) ui_->lb_action->setText(QString());
}

void Tfrm_export_xml::startRun(bool append) {
  if (runThread_) return;
  clearWrittenStatus();
  setRunButtonsEnabled(false);

  // The question is asked here, on the interface thread, before the work starts.
  std::optional<std::filesystem::path> existing;
  if (append) existing = services_.chooseFile(this, kDeclarationFilter);

  // The busy cursor is the main window's own: the dialogs a run or the user opens meanwhile
  // (its messages, the payer dialog) keep the ordinary one.
  setCursor(Qt::WaitCursor);

  runHost_ = std::make_unique<WindowRunHost>(
      choices_, progress_,
      [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      },
      [this](WindowServices::MessageKind kind, const std::string& text, const std::string& detail) {
        showRunMessage(kind, text, detail);
      });
  runHost_->setReportSink([this](const runs::RunReport& report) { showRunReport(report); });
  runHost_->setReviewSink([this](const runs::RunReport& report) { return reviewRun(report); });
  runHost_->setExistingDeclaration(existing);
  runHost_->setRowHook(rowHook_);

  runs::RunSettings settings;
  settings.outputFile = runs::declarationFile(folder_);
  settings.decimalSeparator = workbook::decimalSeparatorFromEnvironment();

  WindowRunHost& host = *runHost_;
  runThread_ = QThread::create([this, &host, settings, append] {
    if (append) {
      runs::runAppend(host, state_, settings, *declarationOpener_);
    } else {
      runs::runGeneration(host, state_, settings, *declarationOpener_);
    }
  });
  connect(runThread_, &QThread::finished, this, &Tfrm_export_xml::finishRun);
  progressTimer_.start();
  runThread_->start();
}

void Tfrm_export_xml::showRunMessage(WindowServices::MessageKind kind, const std::string& text,
                                     const std::string& detail) {
  // The status line shows where the run stood when the message came.
  showProgress();
  services_.showMessage(this, kind, text, detail);
}

bool Tfrm_export_xml::reviewRun(const runs::RunReport& report) {
  showProgress();
  return services_.reviewDeclaration(this, report, workbook::decimalSeparatorFromEnvironment());
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
  const std::optional<WindowRunHost::Written> written = runHost_->written();
  const bool declined = runHost_->declined();
  runHost_.reset();
  progressTimer_.stop();
  showProgress();

  setRunButtonsEnabled(true);
  // What was written stays in sight until the next action.
  // So is a declaration the user chose not to write after its review.
  ui_->lb_action->setText(written    ? qs(runs::writtenStatus(written->file, written->summary))
                          : declined ? QStringLiteral("Forma neįrašyta")
                                     : QString());
  if (written) lastWritten_ = written->file;
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
  event->accept();
}

}  // namespace kvd507::gui
