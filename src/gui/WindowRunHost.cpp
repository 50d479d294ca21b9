#include "gui/WindowRunHost.h"

#include "rows/StatusSink.h"

namespace kvd507::gui {

void WindowRunHost::processPendingEvents() {
  // The window stays responsive on its own thread; here the run only learns whether to go on.
  if (rowHook_) rowHook_();
  if (stop_) throw rows::RunStopped();
}

void WindowRunHost::show(WindowServices::MessageKind kind, std::string_view text,
                         std::string_view detail) {
  // The window is closing: nobody is there to read it.
  if (stop_) return;
  showMessage_(kind, std::string(text), std::string(detail));
}

void WindowRunHost::showReport(const runs::RunReport& report) {
  // What was put to the user before writing is not shown a second time.
  if (stop_ || reviewed_ || report.findings.empty() || !showReport_) return;
  showReport_(report);
}

bool WindowRunHost::confirmWrite(const runs::RunReport& report) {
  // The window is closing: nothing is written.
  if (stop_) return false;
  if (!review_) return true;
  reviewed_ = true;
  return review_(report) && !stop_;
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
