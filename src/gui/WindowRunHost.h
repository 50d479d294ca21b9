#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "gui/RunProgress.h"
#include "gui/WindowChoices.h"
#include "gui/WindowServices.h"
#include "runs/RunHost.h"

namespace kvd507::gui {

// The run's view of the window, used on the run's own thread. Choices are read from the shared
// holder when the run asks; status and progress go to the shared RunProgress; messages are
// handed to `showMessage`, which shows them on the interface thread and returns once the user
// has dismissed them.
class WindowRunHost : public runs::RunHost {
 public:
  using MessageSink = std::function<void(WindowServices::MessageKind, const std::string& text,
                                         const std::string& detail)>;
  using ReviewSink = std::function<bool(const runs::RunReport&)>;

  // The declaration a run has written, for the status line once the run is over.
  struct Written {
    std::filesystem::path file;
    runs::RunSummary summary;
  };

  WindowRunHost(WindowChoices& choices, RunProgress& progress, MessageSink showMessage)
      : choices_(choices), progress_(progress), showMessage_(std::move(showMessage)) {}

  // The existing declaration the user chose before the run started.
  void setExistingDeclaration(std::optional<std::filesystem::path> file) {
    existing_ = std::move(file);
  }
  // Asks the run to stop at its next row; from then on no message is shown.
  void requestStop() { stop_ = true; }
  // Where the run's report goes; it is handed over only when there are findings, so that a
  // clean run ends without a dialog.
  void setReportSink(std::function<void(const runs::RunReport&)> sink) {
    showReport_ = std::move(sink);
  }
  // Where the report goes before writing; answers whether to write. Shown only when there are
  // findings (a clean run writes without asking); the report dialog afterwards is then left out.
  void setReviewSink(ReviewSink sink) { review_ = std::move(sink); }
  // Called once per row on the run's thread, before the stop test (tests pause a run with it).
  void setRowHook(std::function<void()> hook) { rowHook_ = std::move(hook); }

  std::string workbookPath() override { return choices_.workbook().path; }
  std::string workbookName() override { return choices_.workbook().name; }
  // The window shows itself busy around the whole run, the file dialog included.
  void setBusy(bool) override {}
  void setStatus(std::string_view text) override { progress_.setStatus(text); }
  void setProgressMaximum(int maximum) override { progress_.setMaximum(maximum); }
  void stepProgress() override { progress_.step(); }
  void setProgressPosition(int position) override { progress_.setPosition(position); }
  void processPendingEvents() override;
  bool stopRequested() override { return stop_; }

  void showError(std::string_view text, std::string_view detail) override;
  void showInformation(std::string_view text) override;
  void showWarning(std::string_view text) override;
  void showReport(const runs::RunReport& report) override;
  bool confirmWrite(const runs::RunReport& report) override;
  void declarationWritten(const std::filesystem::path& file,
                          const runs::RunSummary& summary) override {
    written_ = Written{file, summary};
  }
  // Read once the run's thread has ended.
  const std::optional<Written>& written() const { return written_; }
  std::optional<std::filesystem::path> chooseExistingDeclaration() override { return existing_; }

  std::string payerCode() override { return choices_.payer().code; }
  std::string payerName() override { return choices_.payer().name; }
  std::string year() override { return choices_.year(); }

 private:
  void show(WindowServices::MessageKind kind, std::string_view text, std::string_view detail);

  WindowChoices& choices_;
  RunProgress& progress_;
  MessageSink showMessage_;
  std::function<void(const runs::RunReport&)> showReport_;
  ReviewSink review_;
  bool reviewed_ = false;  // touched only on the run's thread
  std::optional<Written> written_;
  std::optional<std::filesystem::path> existing_;
  std::atomic<bool> stop_ = false;
  std::function<void()> rowHook_;
};

}  // namespace kvd507::gui
