#include "gui/WindowRunHost.h"

#include "rows/StatusSink.h"

namespace kvd507::gui {

void WindowRunHost::processPendingEvents() {
  // The window stays responsive on its own thread; here the run only learns whether to go on.
  if (rowHook_) rowHook_();
  if (stop_) throw rows::RunStopped();
}

void WindowRunHost::callInterface(std::function<void()> call) {
  {
    std::lock_guard lock(handoverMutex_);
    handedOver_ = std::move(call);
    done_ = false;
  }
  post_([this] { runHandedOver(); });
  std::unique_lock lock(handoverMutex_);
  handedBack_.wait(lock, [this] { return done_; });
}

void WindowRunHost::runHandedOver() {
  std::function<void()> call;
  {
    std::lock_guard lock(handoverMutex_);
    call = std::move(handedOver_);
    handedOver_ = nullptr;
  }
  try {
    if (call) call();
  } catch (...) {
    // A message that could not be shown must not keep the run waiting for ever.
  }
  // What the call holds (the run's text or report, copied) is freed here, on this thread.
  call = nullptr;
  {
    std::lock_guard lock(handoverMutex_);
    done_ = true;
  }
  handedBack_.notify_one();
}

void WindowRunHost::show(WindowServices::MessageKind kind, std::string_view text,
                         std::string_view detail) {
  // The window is closing: nobody is there to read it.
  if (stop_) return;
  callInterface([this, kind, text = std::string(text), detail = std::string(detail)] {
    showMessage_(kind, text, detail);
  });
}

void WindowRunHost::showReport(const runs::RunReport& report) {
  // What was put to the user before writing is not shown a second time.
  if (stop_ || reviewed_ || report.findings.empty() || !showReport_) return;
  callInterface([this, report] { showReport_(report); });
}

bool WindowRunHost::confirmWrite(const runs::RunReport& report) {
  // The window is closing: nothing is written.
  if (stop_) return false;
  if (!review_) return true;
  reviewed_ = true;
  // The answer is written on the interface thread and read here after the hand-back, under the
  // hand-over's lock.
  bool write = false;
  callInterface([this, report, &write] { write = review_(report); });
  declined_ = !write;
  return write && !stop_;
}

void WindowRunHost::showError(std::string_view text, std::string_view detail) {
  show(WindowServices::MessageKind::Error, text, detail);
}

void WindowRunHost::showInformation(std::string_view text) {
  show(WindowServices::MessageKind::Information, text, {});
}

void WindowRunHost::showWarning(std::string_view text) {
  show(WindowServices::MessageKind::Warning, text, {});
}

}  // namespace kvd507::gui
