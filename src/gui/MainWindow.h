#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/WindowServices.h"
#include "handover/WindowChoices.h"
#include "runs/DesktopOpener.h"
#include "runs/RunRequest.h"
#include "runs/WriteReview.h"

namespace Ui {
class MainWindow;
}

namespace kvd507::gui {

class DeclarationViewer;
class ErrorReporter;
class PayerSelector;
class RunController;
class ViewerOpener;

// The main window: payer, year and workbook choices, the two conversion runs and the shortcuts
// to the program's folders. A run works on a thread of its own while the window stays live;
// during it only the five run buttons are disabled.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow(std::filesystem::path programFolder, WindowServices& services,
             runs::DesktopOpener& opener, QWidget* parent = nullptr);
  ~MainWindow() override;

  bool runInProgress() const;
  // Called on the run's thread once per row (tests pause a run at a row with it).
  void setRowHook(std::function<void()> hook);
  // The values a run reads; kept current by the selectors and the workbook choice.
  const handover::WindowChoices& choices() const { return choices_; }
  // What the run in progress was asked to do; read on the interface thread.
  const runs::RunRequest& runRequest() const;

  // Fills the payer selector from the payer list and selects the stored position; false when
  // that failed, which has been shown.
  bool loadPayers();

 signals:
  // A run has ended and the window is idle again.
  void runEnded();

 public slots:
  // "Pasirinkti darbaknygę"; a cancelled dialog clears the choice.
  void chooseWorkbookInDialog();
  // The workbook a run reads, as if chosen through "Pasirinkti darbaknygę".
  void chooseWorkbook(const std::filesystem::path& file);
  void clearWorkbook();
  // The folder of the declarations ("formos") and of the templates ("sablonas").
  void openDeclarationFolder();
  void openTemplateFolder();
  // "Formuoti formą" and "Papildyti formą" (after asking which declaration to extend): a run
  // of the chosen workbook on a thread of its own.
  void makeDeclaration();
  void appendToDeclaration();
  // The year selector; the payer selector reads its list again on a new year.
  void chooseYear();
  // "Apie", from the copyright line.
  void showAbout();
  // "Peržiūrėti formą": the declaration written last (by this window, or the one in "formos"),
  // or one the user chooses, in the viewer.
  void viewLastDeclaration();
  void viewChosenDeclaration();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void fillYears();
  void connectControls();
  void setRunButtonsEnabled(bool enabled);
  void startRun(bool append);
  void showRunStarted();
  void showProgress(const QString& status, int position, int maximum);
  void showRunEnded(const runs::RunResult& result);
  runs::RunRequest makeRequest(std::optional<std::filesystem::path> existing) const;
  bool reviewRun(const runs::WriteReview& review);
  void clearWrittenStatus();
  void makeViewerMenu();
  void connectViewer(DeclarationViewer* viewer);
  std::optional<std::filesystem::path> lastDeclaration() const;

  std::unique_ptr<Ui::MainWindow> ui_;
  std::filesystem::path folder_;
  WindowServices& services_;
  runs::DesktopOpener& opener_;
  // The written declaration: the desktop's program for it, or else the viewer.
  std::unique_ptr<ViewerOpener> declarationOpener_;

  handover::WindowChoices choices_;
  std::unique_ptr<ErrorReporter> payerErrors_;
  std::unique_ptr<PayerSelector> payerSelector_;
  bool closeWhenRunEnds_ = false;
  std::optional<std::filesystem::path> lastWritten_;  // by a run of this window
  bool centred_ = false;
  // Last, so that a run still going is stopped while everything it reaches is still there.
  std::unique_ptr<RunController> run_;
};

}  // namespace kvd507::gui
