#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "gui/RunProgress.h"
#include "gui/WindowChoices.h"
#include "gui/WindowServices.h"
#include "runs/RunHost.h"

namespace kvd507::gui {

// The run's view of the window, used on the run's own thread. Choices are read from the shared
// holder when the run asks; status and progress go to the shared RunProgress. Messages and the
// report are handed to the interface thread: the run's text or report is copied into a call
// that `post` carries there (the window's event queue), and the run waits until the interface
// has shown it and the user has dismissed it. The call changes hands under this object's lock,
// in both directions, so that nothing the run made is ever shared with the interface, and a
// thread checker sees the hand-over whatever carries the call.
class WindowRunHost : public runs::RunHost {
 public:
  using MessageSink = std::function<void(WindowServices::MessageKind, const std::string& text,
                                         const std::string& detail)>;
  using ReportSink = std::function<void(const runs::RunReport&)>;
  using ReviewSink = std::function<bool(const runs::RunReport&)>;
  // Runs its argument on the interface thread, later; never on the calling thread at once.
  using Post = std::function<void(std::function<void()>)>;

  // The declaration a run has written, for the status line once the run is over.
  struct Written {
    std::filesystem::path file;
    runs::RunSummary summary;
  };

  // `showMessage` and the report sink are called on the interface thread only.
  WindowRunHost(WindowChoices& choices, RunProgress& progress, Post post, MessageSink showMessage)
      : choices_(choices),
        progress_(progress),
        post_(std::move(post)),
        showMessage_(std::move(showMessage)) {}

  // The existing declaration the user chose before the run started.
  void setExistingDeclaration(std::optional<std::filesystem::path> file) {
    existing_ = std::move(file);
  }
  // Asks the run to stop at its next row; from then on no message is shown.
  void requestStop() { stop_ = true; }
  // Where the run's report goes; it is handed over only when there are findings, so that a
  // clean run ends without a dialog.
  void setReportSink(ReportSink sink) { showReport_ = std::move(sink); }
  // Where the report goes before writing; answers whether to write. Shown only when there are
  // findings (a clean run writes without asking); the report dialog afterwards is then left out.
  // Called on the interface thread only.
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
  // The user looked at what was read and chose not to write ("Atšaukti"); read likewise.
  bool declined() const { return declined_; }
  std::optional<std::filesystem::path> chooseExistingDeclaration() override { return existing_; }

  std::string payerCode() override { return choices_.payer().code; }
  std::string payerName() override { return choices_.payer().name; }
  std::string year() override { return choices_.year(); }

 private:
  void show(WindowServices::MessageKind kind, std::string_view text, std::string_view detail);
  // On the run's thread: has `call` run on the interface thread and waits until it has.
  void callInterface(std::function<void()> call);
  // On the interface thread: runs the call handed over and wakes the run.
  void runHandedOver();

  WindowChoices& choices_;
  RunProgress& progress_;
  Post post_;
  MessageSink showMessage_;
  ReportSink showReport_;
  ReviewSink review_;
  bool reviewed_ = false;  // touched only on the run's thread
  bool declined_ = false;  // likewise, until the thread has ended
  std::optional<Written> written_;
  std::mutex handoverMutex_;
  std::condition_variable handedBack_;
  std::function<void()> handedOver_;  // the call waiting for the interface
  bool done_ = false;                 // the interface has run it
  std::optional<std::filesystem::path> existing_;
  std::atomic<bool> stop_ = false;
  std::function<void()> rowHook_;
};

}  // namespace kvd507::gui
