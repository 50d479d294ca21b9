#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "declaration/WriterHost.h"
#include "runs/RunReport.h"
#include "runs/WindowState.h"

namespace kvd507::runs {

// Everything a conversion run needs from its surroundings: the window implements it, the
// command line implements it, tests fake it.
class RunHost : public declaration::WriterHost {
 public:
  virtual std::string workbookPath() = 0;  // kNoWorkbookPath when none is chosen
  virtual std::string workbookName() = 0;  // file name without folder, or kNoWorkbookName

  // Busy: the busy cursor and the run buttons disabled; not busy: the idle state back.
  virtual void setBusy(bool busy) = 0;
  virtual void setProgressPosition(int position) = 0;

  // Modal messages with one OK button. `text` is what the user reads, in Lithuanian: what
  // failed and, after ": ", why and where. `detail` is the technical cause as the system or the
  // file format gave it, untranslated, for whoever wants to look closer; it may be empty.
  virtual void showError(std::string_view text, std::string_view detail) = 0;
  virtual void showInformation(std::string_view text) = 0;
  virtual void showWarning(std::string_view text) = 0;

  // Asked once more just before the declaration is saved, so that a run the user ended while it
  // was writing saves nothing. Between rows the host ends a run by throwing rows::RunStopped
  // from processPendingEvents.
  virtual bool stopRequested() { return false; }

  // Asks for an existing declaration to extend ("FFDATA|*.ffdata"); nothing when cancelled.
  virtual std::optional<std::filesystem::path> chooseExistingDeclaration() = 0;

  // Asked once the workbook has been read and something was noticed, before anything is
  // written: true writes the declaration, false leaves the previous one as it is. A host that
  // cannot ask writes.
  virtual bool confirmWrite(const RunReport&) { return true; }

  // The declaration was saved as `file` with what `summary` tells.
  virtual void declarationWritten(const std::filesystem::path& /*file*/,
                                  const RunSummary& /*summary*/) {}

  // Called once the workbook has been read, after the declaration is written (or the run has
  // decided not to write it), with the summary and the findings. A host that has no place to
  // show them gets one warning naming every reader that stopped early.
  virtual void showReport(const RunReport& report);
};

}  // namespace kvd507::runs
