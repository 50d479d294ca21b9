#include "gui/RunResultDisplay.h"

#include <string>

#include "runs/RunSummary.h"
#include "spreadsheet/DecimalSeparator.h"

namespace kvd507::gui {
namespace {

// Neither a program of the desktop nor the viewer could show the declaration just written.
constexpr const char* kOpenFailed = "Forma įrašyta, bet jos atidaryti nepavyko: ";

WindowServices::MessageKind kindOf(const runs::RunMessage& message) {
  switch (message.kind) {
    case runs::RunMessage::Kind::Error:
      return WindowServices::MessageKind::Error;
    case runs::RunMessage::Kind::Warning:
      return WindowServices::MessageKind::Warning;
    case runs::RunMessage::Kind::Information:
      break;
  }
  return WindowServices::MessageKind::Information;
}

}  // namespace

void tellRunResult(WindowServices& services, QWidget* parent, const runs::RunResult& result) {
  for (const runs::RunMessage& message : result.messages) {
    services.showMessage(parent, kindOf(message), message.text, message.detail);
  }
  // What was put to the user before writing is not shown a second time.
  if (result.report && !result.reviewed && !result.report->findings.empty()) {
    services.showReport(parent, *result.report, spreadsheet::decimalSeparatorFromEnvironment());
  }
  if (result.openFailed && result.written) {
    services.showMessage(parent, WindowServices::MessageKind::Error,
                         kOpenFailed + result.written->string());
  }
}

QString statusAfterRun(const runs::RunResult& result) {
  if (result.written && result.report) {
    std::string text = runs::writtenStatus(*result.written, result.report->summary);
    if (result.kept) text += "; ankstesnė išsaugota: " + result.kept->string();
    return QString::fromStdString(text);
  }
  // The user looked at what was read and chose not to write it.
  if (result.reviewed && result.outcome == runs::RunOutcome::Cancelled) {
    return QStringLiteral("Forma neįrašyta");
  }
  return {};
}

}  // namespace kvd507::gui
