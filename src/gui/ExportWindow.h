#pragma once

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/RunProgress.h"
#include "gui/WindowChoices.h"
#include "gui/WindowServices.h"
#include "runs/DesktopOpener.h"
#include "runs/RunRequest.h"
#include "runs/WriteReview.h"

class QThread;

namespace Ui {
class Tfrm_export_xml;
}

namespace kvd507::gui {

class DeclarationViewer;
class ErrorReporter;
class PayerSelector;
class ViewerOpener;
class WindowRunHost;

// The main window: payer, year and workbook choices, the two conversion runs and the shortcuts
// to the program's folders. A run works on a thread of its own while the window stays live;
// during it only the five run buttons are disabled.
class Tfrm_export_xml : public QWidget {
  Q_OBJECT

 public:
  Tfrm_export_xml(std::filesystem::path programFolder, WindowServices& services,
                  runs::DesktopOpener& opener, QWidget* parent = nullptr);
  ~Tfrm_export_xml() override;

  bool runInProgress() const { return runThread_ != nullptr; }
  // Called on the run's thread once per row (tests pause a run at a row with it).
  void setRowHook(std::function<void()> hook) { rowHook_ = std::move(hook); }
  // The values a run reads; kept current by the selectors and the workbook choice.
  const WindowChoices& choices() const { return choices_; }
  // What the run in progress was asked to do; read on the interface thread.
  const runs::RunRequest& runRequest() const { return request_; }

  // Fills the payer selector from the payer list and selects the stored position; false when
  // that failed, which has been shown.
  bool LoadPayers();

 signals:
  // A run has ended and the window is idle again.
  void runEnded();

 public slots:
  void btn_openClick();
  // The workbook a run reads, as if chosen through "Pasirinkti darbaknygę".
  void chooseWorkbook(const std::filesystem::path& file);
  void btn_valytiClick();
  void btn_formosClick();
  void btn_templateClick();
  void btn_closeClick();
  void btn_kvd507Click();
  void btn_papildytiClick();
  void dt_metaiChange();
  void lb_copyrightClick();
  // "Peržiūrėti formą": the declaration written last (by this window, or the one in "formos"),
  // or one the user chooses, in the viewer.
  void viewLastDeclaration();
  void viewChosenDeclaration();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void applyLook();
  void showProgramFolder();
  void fillYears();
  void connectControls();
  void setRunButtonsEnabled(bool enabled);
  void startRun(bool append);
  void finishRun();
  void showProgress();
  runs::RunRequest makeRequest(std::optional<std::filesystem::path> existing) const;
  void tellRunResult(const runs::RunResult& result);
  bool reviewRun(const runs::WriteReview& review);
  void clearWrittenStatus();
  void addViewerButton();
  void connectViewer(DeclarationViewer* viewer);
  std::optional<std::filesystem::path> lastDeclaration() const;
  void showRunReport(const runs::RunReport& report);
  void setCopyrightHighlighted(bool highlighted);

  std::unique_ptr<Ui::Tfrm_export_xml> ui_;
  std::filesystem::path folder_;
  WindowServices& services_;
  runs::DesktopOpener& opener_;
  // The written declaration: the desktop's program for it, or else the viewer.
  std::unique_ptr<ViewerOpener> declarationOpener_;

  WindowChoices choices_;
  std::unique_ptr<ErrorReporter> payerErrors_;
  std::unique_ptr<PayerSelector> payerSelector_;
  runs::RunRequest request_;  // the run's copy is its own
  runs::RunResult result_;    // written by the run's thread, read once it has ended

  RunProgress progress_;
  QTimer progressTimer_;
  std::unique_ptr<WindowRunHost> runHost_;
  QThread* runThread_ = nullptr;
  std::function<void()> rowHook_;
  bool closeWhenRunEnds_ = false;
  std::optional<std::filesystem::path> lastWritten_;  // by a run of this window
  bool centred_ = false;
};

}  // namespace kvd507::gui
