#include "gui/WindowRunHost.h"

#include "rows/StatusSink.h"

namespace kvd507::gui {

void WindowRunHost::processPendingEvents() {
  // The window stays responsive on its own thread; here the run only learns whether to go on.
  if (rowHook_) rowHook_();
  if (stop_) throw rows::RunStopped();
}

void WindowRunHost::show(WindowServices::MessageKind kind, std::string_view text) {
  // The window is closing: nobody is there to read it.
  if (stop_) return;
  showMessage_(kind, std::string(text));
}

void WindowRunHost::showReport(const runs::RunReport& report) {
  if (stop_ || report.findings.empty() || !showReport_) return;
  showReport_(report);
}

void WindowRunHost::showError(std::string_view text, std::string_view) {
  show(WindowServices::MessageKind::Error, text);
}

void WindowRunHost::showInformation(std::string_view text) {
  show(WindowServices::MessageKind::Information, text);
}

void WindowRunHost::showWarning(std::string_view text) {
  show(WindowServices::MessageKind::Warning, text);
}

}  // namespace kvd507::gui
