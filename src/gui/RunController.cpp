#include "gui/RunController.h"

#include <QCoreApplication>
#include <QThread>

#include "handover/RunHandover.h"
#include "runs/ConversionRun.h"

namespace kvd507::gui {
namespace {

// The status line and progress bar are repainted at most this often during a run.
constexpr int kProgressIntervalMs = 30;

}  // namespace

RunController::RunController(runs::DesktopOpener& opener, Review review, QObject* parent)
    : QObject(parent), opener_(opener), review_(std::move(review)) {
  progressTimer_.setInterval(kProgressIntervalMs);
  connect(&progressTimer_, &QTimer::timeout, this, &RunController::showProgress);
}

RunController::~RunController() {
  if (!thread_) return;
  // Only reached when the window is destroyed without being closed (a test, say). The run may
  // be waiting for a question to be answered here, so events go on being handled meanwhile.
  thread_->disconnect(this);
  handover_->requestStop();
  while (!thread_->wait(10)) QCoreApplication::processEvents();
  delete thread_;
}

void RunController::start(runs::RunRequest request) {
  if (thread_) return;
  handover_ = std::make_unique<handover::RunHandover>(
      progress_,
      [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      },
      [this](const runs::WriteReview& review) {
        showProgress();
        return review_ ? review_(review) : true;
      });
  handover_->setRowHook(rowHook_);

  request_ = std::move(request);
  result_ = {};
  handover::RunHandover& host = *handover_;
  thread_ = QThread::create([this, &host, request = request_] {
    result_ = runs::runConversion(request, host, &host, opener_);
  });
  connect(thread_, &QThread::finished, this, &RunController::end);
  progressTimer_.start();
  thread_->start();
  emit started();
}

void RunController::stop() {
  if (handover_) handover_->requestStop();
}

void RunController::showProgress() {
  handover::RunProgress::Snapshot snapshot;
  if (!progress_.take(snapshot)) return;
  emit progress(QString::fromStdString(snapshot.status), snapshot.position, snapshot.maximum);
}

void RunController::end() {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  handover_.reset();
  progressTimer_.stop();
  showProgress();
  const runs::RunResult result = std::move(result_);
  result_ = {};
  emit finished(result);
}

}  // namespace kvd507::gui
