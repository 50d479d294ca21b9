#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "handover/RunProgress.h"
#include "runs/DesktopOpener.h"
#include "runs/RunRequest.h"
#include "runs/WriteReview.h"

class QThread;

namespace kvd507::handover {
class RunHandover;
}

namespace kvd507::gui {

// Runs one conversion at a time on a thread of its own while the window stays live. The window
// hands it a whole request when the run starts, answers the run's review and shows what the
// signals tell; it never waits for the run. Status and progress are taken from the run a few
// dozen times a second, so that a fast run never floods the interface with repaints.
class RunController : public QObject {
  Q_OBJECT

 public:
  // Puts the review to the user before the run writes; true writes. Called on the interface
  // thread, after the latest progress has been shown.
  using Review = std::function<bool(const runs::WriteReview&)>;

  // `opener` is offered the written declaration from the run's thread.
  RunController(runs::DesktopOpener& opener, Review review, QObject* parent = nullptr);
  // A run still going is stopped and waited for: it must not outlive what it writes to.
  ~RunController() override;

  bool running() const { return thread_ != nullptr; }
  // What the run in progress, or the last one, was asked to do.
  const runs::RunRequest& request() const { return request_; }
  // Called on the run's thread once per row (tests pause a run at a row with it).
  void setRowHook(std::function<void()> hook) { rowHook_ = std::move(hook); }

  // Starts `request` on a thread of its own; nothing while a run is going.
  void start(runs::RunRequest request);
  // Asks the run to stop at its next row; nothing more is asked or opened, and `finished`
  // follows once it has stopped.
  void stop();

 signals:
  void started();
  // The run's latest status line and progress bar.
  void progress(const QString& status, int position, int maximum);
  // The run is over and its thread gone: a new run may start from here.
  void finished(const kvd507::runs::RunResult& result);

 private:
  void showProgress();
  void end();

  runs::DesktopOpener& opener_;
  Review review_;
  std::function<void()> rowHook_;
  runs::RunRequest request_;  // the run works on a copy of its own
  runs::RunResult result_;    // written by the run's thread, read once it has ended
  handover::RunProgress progress_;
  QTimer progressTimer_;
  std::unique_ptr<handover::RunHandover> handover_;
  QThread* thread_ = nullptr;
};

}  // namespace kvd507::gui
