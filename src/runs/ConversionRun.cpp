#include "runs/ConversionRun.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "declaration/DeclarationReader.h"
#include "declaration/DeclarationWriter.h"
#include "errors/Error.h"
#include "files/WholeFile.h"
#include "runs/FindingCollector.h"
#include "runs/PayerCheck.h"
#include "runs/WorkbookLock.h"
#include "runs/WorkbookMissing.h"
#include "workbook/SheetReader.h"
#include "workbook/Workbook.h"

namespace kvd507::runs {
namespace {

constexpr const char* kOpenFailed =
    "Neįmanoma atidaryti failo KVD507.ffdata. Patikrinkite ar įdiegta ABBYY FormFiller programa.";

// Puts the window back to idle on every way out of a run.
class BusyScope {
 public:
  explicit BusyScope(RunHost& host) : host_(host) { host_.setBusy(true); }
  ~BusyScope() {
    host_.setBusy(false);
    host_.setStatus("");
    host_.setProgressPosition(0);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  RunHost& host_;
};

// How many rows the tables held before the workbook was read: those of an existing declaration.
struct ExistingRows {
  std::size_t l = 0;
  std::size_t u = 0;
};

// Everything the run tells after reading: the summary of the tables as they will be written,
// and the findings of the readers and of the payer.
RunReport makeReport(const RunState& state, FindingCollector& collected, ExistingRows existing,
                     const std::string& payerCode) {
  // The payer matters only to a declaration that has rows to write.
  const bool rowsToWrite = !state.lRows.empty() || !state.uRows.empty();
  if (auto payer = checkPayerCode(payerCode); payer && rowsToWrite) collected.add(*payer);
  RunReport report;
  report.summary.l = summariseTable(std::string(workbook::kLSheet.name), state.lRows, 10);
  report.summary.u = summariseTable(std::string(workbook::kUSheet.name), state.uRows, 5);
  report.summary.l.existingRows = existing.l;
  report.summary.u.existingRows = existing.u;
  for (SheetSummary* sheet : {&report.summary.l, &report.summary.u}) {
    const FindingCollector::Taken taken = collected.taken(sheet->sheet);
    sheet->rowsRead = taken.rows;
    sheet->rowsMerged = taken.merged;
  }
  report.summary.amountsNotCounted = amountsNotCounted(collected);
  report.findings = collected.findings();
  return report;
}

// Opens the chosen workbook, reads both sheets into the tables and writes the declaration.
// `emptyTables` is false in an append run, whose tables already hold the existing rows, and
// whose reading of them may have found something already.
RunOutcome convertChosenWorkbook(RunHost& host, RunState& state, const RunSettings& settings,
                                 DesktopOpener& opener, bool emptyTables,
                                 FindingCollector collected = {}) {
  if (host.workbookPath() == kNoWorkbookPath) {
    host.showError("Darbaknygė nepasirinkta", {});
    return RunOutcome::NoWorkbook;
  }
  if (auto missing = workbookMissing(host.workbookPath())) {
    host.showError(*missing, {});
    return RunOutcome::Failed;
  }
  ExistingRows existing;
  try {
    host.setStatus("Atidarome failą");
    workbook::Workbook book = workbook::Workbook::open(host.workbookPath());
    if (auto open = workbookOpenElsewhere(host.workbookPath())) collected.add(std::move(*open));
    host.setStatus("Patikrinimas");
    host.processPendingEvents();

    const char separator = settings.decimalSeparator;
    if (emptyTables) state.lRows.clear();
    if (emptyTables) state.uRows.clear();
    existing = {state.lRows.size(), state.uRows.size()};
    workbook::ReadLSheet(book, state.lRows, host, separator, collected);
    workbook::ReadUSheet(book, state.uRows, host, separator, collected);
  } catch (const rows::RunStopped&) {
    throw;
  } catch (...) {
    const Error error = currentError();
    // The computer ran short, not the workbook: it is not said to be badly filled in.
    const bool shortOf =
        error.kind() == ErrorKind::kTooManyOpenFiles || error.kind() == ErrorKind::kOutOfMemory;
    host.showError((shortOf ? "Nepavyko perskaityti failo " : "Blogai užpildytas failas ") +
                       host.workbookName() + ": " + error.cause(host.workbookPath()),
                   error.detail());
    return RunOutcome::Failed;
  }
  const RunReport report = makeReport(state, collected, existing, host.payerCode());

  if (state.lRows.empty() && state.uRows.empty()) {
    host.showInformation("\"" + host.workbookName() + "\" faile įrašų nerasta.");
    host.showReport(report);
    return RunOutcome::NoRecords;
  }
  if (stopsWriting(settings.writeMode, report)) {
    host.showReport(report);
    return RunOutcome::NotWritten;
  }
  // Findings are shown before writing, so that nothing is replaced that the user would rather
  // keep; a clean run writes without asking.
  if (!report.findings.empty() && !host.confirmWrite(report)) return RunOutcome::Cancelled;
  try {
    Export2XML(host, state, settings, opener);
  } catch (const rows::RunStopped&) {
    throw;
  } catch (...) {
    // The workbook was read; what failed is the writing, most often for want of disk space or
    // permission, so the headline names the declaration, not the workbook.
    const Error error = currentError();
    const std::string output = settings.outputFile.string();
    host.showError("Nepavyko įrašyti formos " + output + ": " + error.cause(output),
                   error.detail());
    return RunOutcome::Failed;
  }
  host.declarationWritten(settings.outputFile, report.summary);
  host.showReport(report);
  return RunOutcome::Written;
}

// Whatever escapes a run's own guards (a host that fails, memory running out between steps)
// is still told, never passed on to the window or the command line.
template <typename Run>
RunOutcome guarded(RunHost& host, Run run) {
  try {
    return run();
  } catch (const rows::RunStopped&) {
    // The user ended the program during the run: nothing was saved, and nobody is waiting for
    // a message.
    return RunOutcome::Stopped;
  } catch (...) {
    const Error error = currentError();
    try {
      host.showError("Nepavyko suformuoti formos: " + error.cause(), error.detail());
    } catch (...) {
      // Nothing is left to tell it with.
    }
    return RunOutcome::Failed;
  }
}

}  // namespace

void Export2XML(RunHost& host, const RunState& state, const RunSettings& settings,
                DesktopOpener& opener) {
  // The workbook read is never replaced by the declaration. The declaration extended may be:
  // it was read whole before, and what replaces it holds all of it (the window's "Papildyti
  // formą" on formos/KVD507.ffdata itself).
  const files::InputFiles inputs{host.workbookPath()};
  // A run the user ended while the declaration was being written saves nothing.
  declaration::saveDeclaration(
      settings.outputFile, state.lRows, state.uRows, state.header, host,
      [&host] {
        if (host.stopRequested()) throw rows::RunStopped();
      },
      inputs);
  if (!opener.open(settings.outputFile)) host.showError(kOpenFailed, settings.outputFile.string());
}

RunOutcome runGeneration(RunHost& host, RunState& state, const RunSettings& settings,
                         DesktopOpener& opener) {
  return guarded(host, [&] {
    BusyScope busy(host);
    state.existingDeclaration = std::string(kNoExistingDeclaration);
    state.header.reset();
    return convertChosenWorkbook(host, state, settings, opener, true);
  });
}

RunOutcome runAppend(RunHost& host, RunState& state, const RunSettings& settings,
                     DesktopOpener& opener) {
  return guarded(host, [&] {
    BusyScope busy(host);
    const std::optional<std::filesystem::path> chosen = host.chooseExistingDeclaration();
    state.existingDeclaration = chosen ? chosen->string() : std::string(kNoExistingDeclaration);

    // Every append run starts afresh, so that rows and a header left by an earlier run never
    // slip into this declaration.
    state.lRows.clear();
    state.uRows.clear();
    state.header.reset();
    FindingCollector collected;
    if (chosen) {
      try {
        declaration::ReadExistingDeclaration(*chosen, state.lRows, state.uRows, state.header,
                                             collected);
      } catch (...) {
        // Going on would replace the declaration with one that has lost all its rows.
        const Error error = currentError();
        host.showError("Nepavyko perskaityti formos " + chosen->filename().string() + ": " +
                           error.cause(chosen->string()),
                       error.detail());
        return RunOutcome::Failed;
      }
    }
    return convertChosenWorkbook(host, state, settings, opener, false, std::move(collected));
  });
}

}  // namespace kvd507::runs
