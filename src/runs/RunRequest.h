#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "declaration/WriterHost.h"
#include "runs/ChoiceDefaults.h"
#include "runs/RunReport.h"
#include "runs/RunState.h"

namespace kvd507::runs {

// Everything a run works from, taken once when it starts: what the user changes in the window
// afterwards is for the next run.
struct RunRequest {
  std::string workbookPath{kNoWorkbookPath};
  std::string workbookName{kNoWorkbookName};  // quoted in the messages
  // The declaration an append run extends; none for a new declaration.
  std::optional<std::filesystem::path> existingDeclaration;
  std::string payerCode{kNoPayerCode};
  std::string payerName;  // as the payer selector shows it
  std::string year;
  std::filesystem::path outputFile;  // normally formos/KVD507.ffdata in the program folder
  // The declaration the output replaces is kept in "ankstesnės" beside it.
  bool keepReplaced = false;
  char decimalSeparator = ',';
  WriteMode writeMode = WriteMode::Always;
  // The review is put to the user before every write; otherwise only the result tells.
  bool askBeforeWriting = false;
};

// How a run ended, for callers that care (the command line's exit status).
enum class RunOutcome {
  Written,     // the declaration was saved (and offered to the desktop)
  NoRecords,   // the workbook held no rows; nothing was written
  NoWorkbook,  // no workbook was chosen
  Failed,      // something failed; the messages tell what
  NotWritten,  // the workbook was read and reported on, but the settings said not to write
  Stopped,     // the user ended the program during the run; nothing was written
  Cancelled,   // the user looked at what was read and chose not to write
};

// A message for the user, with one OK button in the window. `text` is what the user reads, in
// Lithuanian: what failed and, after ": ", why and where. `detail` is the technical cause as the
// system or the file format gave it, untranslated; it may be empty.
struct RunMessage {
  enum class Kind { Error, Information, Warning };
  Kind kind = Kind::Error;
  std::string text;
  std::string detail;
};

// What a run hands back once it is over.
struct RunResult {
  RunOutcome outcome = RunOutcome::Failed;
  std::optional<RunReport> report;               // once the workbook was read
  bool reviewed = false;                         // the report was put to the user before writing
  std::optional<std::filesystem::path> written;  // the declaration saved
  std::optional<std::filesystem::path> kept;     // where the declaration it replaced now is
  bool openFailed = false;                       // saved, but nothing on the desktop could open it
  std::vector<RunMessage> messages;
};

// Where a run reports its progress, and learns whether to stop. Between rows the surroundings
// end a run by throwing rows::RunStopped from processPendingEvents; stopRequested is asked once
// more just before the declaration replaces the previous one and before it is opened.
class ProgressSink : public declaration::WriterHost {
 public:
  virtual bool stopRequested() { return false; }
};

struct WriteReview;

// The question a run asks before it writes: true writes the declaration, false leaves the
// previous one as it is.
class RunReview {
 public:
  virtual ~RunReview() = default;
  virtual bool confirmWrite(const WriteReview& review) = 0;
};

}  // namespace kvd507::runs
