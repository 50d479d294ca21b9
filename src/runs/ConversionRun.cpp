#include "runs/ConversionRun.h"

#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "declaration/DeclarationReader.h"
#include "declaration/DeclarationWriter.h"
#include "errors/Error.h"
#include "errors/Headlines.h"
#include "files/WholeFile.h"
#include "intake/SheetReader.h"
#include "runs/FindingCollector.h"
#include "runs/KeptDeclarations.h"
#include "runs/PayerCheck.h"
#include "runs/WorkbookLock.h"
#include "runs/WorkbookMissing.h"
#include "runs/WriteReview.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::runs {
namespace {

// The rows and header of one run, its own from start to end.
struct Tables {
  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;  // what an existing declaration's main page holds
};

// What the tables held before the workbook was read: those of an existing declaration.
struct ExistingRows {
  std::size_t l = 0;
  std::size_t u = 0;
  double lAmount = 0;
  double uAmount = 0;
};

void tell(RunResult& result, RunMessage::Kind kind, std::string text, std::string detail = {}) {
  result.messages.push_back({kind, std::move(text), std::move(detail)});
}

// Only inside a catch block: the failure being handled, as a message headed by `headline`.
void tellFailure(RunResult& result, const std::string& headline, const std::string& place) {
  const Error error = currentError();
  tell(result, RunMessage::Kind::Error, headline + ": " + error.cause(place), error.detail());
}

// The main page the declaration will carry, and with it every footer: an extended
// declaration's own, a new one's from the request.
declaration::DeclarationHeader headerToWrite(const RunRequest& request, const Tables& tables) {
  if (tables.header.isExtended()) return tables.header;
  return declaration::newDeclarationHeader(request.payerCode, request.payerName, request.year);
}

// Both sheets' rows all went into rows the declaration already had, and their amounts equal
// what it held: the workbook was appended to it before.
std::optional<rows::Finding> appendedTwice(const Tables& tables, const ExistingRows& existing,
                                           const RunReport& report) {
  const std::size_t read = report.summary.l.rowsRead + report.summary.u.rowsRead;
  if (existing.l + existing.u == 0 || read == 0) return std::nullopt;
  if (tables.lRows.size() != existing.l || tables.uRows.size() != existing.u) return std::nullopt;
  const auto same = [](double a, double b) { return std::fabs(a - b) < 0.005; };
  if (!same(report.summary.l.amount, 2 * existing.lAmount) ||
      !same(report.summary.u.amount, 2 * existing.uAmount)) {
    return std::nullopt;
  }
  return rows::Finding{rows::Finding::Kind::AlreadyInDeclaration,
                       {},
                       0,
                       {},
                       "visos darbaknygės eilutės jau yra formoje: sumos bus padvigubintos"};
}

RunReport makeReport(const Tables& tables, FindingCollector& collected,
                     const ExistingRows& existing, const std::string& payerCode) {
  // The payer matters only to a declaration that has rows to write.
  const bool rowsToWrite = !tables.lRows.empty() || !tables.uRows.empty();
  if (auto payer = checkPayerCode(payerCode); payer && rowsToWrite) collected.add(*payer);
  RunReport report;
  report.summary.l = summariseTable(std::string(intake::kLSheet.name), tables.lRows, 10);
  report.summary.u = summariseTable(std::string(intake::kUSheet.name), tables.uRows, 5);
  report.summary.l.existingRows = existing.l;
  report.summary.u.existingRows = existing.u;
  for (SheetSummary* sheet : {&report.summary.l, &report.summary.u}) {
    const FindingCollector::Taken taken = collected.taken(sheet->sheet);
    sheet->rowsRead = taken.rows;
    sheet->rowsMerged = taken.merged;
  }
  if (auto twice = appendedTwice(tables, existing, report)) collected.add(*twice);
  report.summary.amountsNotCounted = amountsNotCounted(collected);
  report.findings = collected.findings();
  return report;
}

// Opens the workbook and reads both sheets after the rows the tables hold. Throws what the
// workbook's reading throws.
void readWorkbook(const RunRequest& request, ProgressSink& progress, Tables& tables,
                  FindingCollector& collected) {
  progress.setStatus("Atidarome failą");
  spreadsheet::Workbook book = spreadsheet::Workbook::open(request.workbookPath);
  if (auto open = workbookOpenElsewhere(request.workbookPath)) collected.add(std::move(*open));
  progress.setStatus("Patikrinimas");
  progress.processPendingEvents();
  intake::readLSheet(book, tables.lRows, progress, request.decimalSeparator, collected);
  intake::readUSheet(book, tables.uRows, progress, request.decimalSeparator, collected);
}

// Puts the review to the user when asked to; true goes on to write.
bool reviewed(const RunRequest& request, RunReview* review, const RunReport& report,
              const declaration::DeclarationHeader& header,
              const std::optional<ReplacedDeclaration>& replaced, RunResult& result) {
  if (!request.askBeforeWriting || review == nullptr) return true;
  WriteReview question{report,
                       header,
                       request.payerName,
                       request.payerCode,
                       request.year,
                       request.existingDeclaration.has_value(),
                       replaced,
                       request.keepReplaced};
  result.reviewed = true;
  return review->confirmWrite(question);
}

// Saves the declaration; the one it replaces is kept first when the request says so. The
// workbook read is never replaced by it. The declaration extended may be: it was read whole
// before, and what replaces it holds all of it (the window's "Papildyti formą" on
// formos/KVD507.ffdata itself).
void write(const RunRequest& request, ProgressSink& progress, const Tables& tables,
           const declaration::DeclarationHeader& header,
           const std::optional<ReplacedDeclaration>& replaced, RunResult& result) {
  declaration::saveDeclaration(
      request.outputFile, tables.lRows, tables.uRows, header, progress,
      [&] {
        // A run the user ended while it was writing saves nothing.
        if (progress.stopRequested()) throw rows::RunStopped();
        if (request.keepReplaced && replaced) {
          result.kept = keepReplaced(*replaced);
        }
      },
      files::InputFiles{request.workbookPath});
  result.written = request.outputFile;
}

void convert(const RunRequest& request, ProgressSink& progress, RunReview* review,
             DesktopOpener& opener, RunResult& result) {
  Tables tables;
  // What reading an existing declaration finds is told with the workbook's findings.
  FindingCollector collected;
  if (request.existingDeclaration) {
    try {
      declaration::readExistingDeclaration(*request.existingDeclaration, tables.lRows, tables.uRows,
                                           tables.header, collected);
    } catch (...) {
      // Going on would replace the declaration with one that has lost all its rows.
      tellFailure(result,
                  headline::cannotReadDeclaration(request.existingDeclaration->filename().string()),
                  request.existingDeclaration->string());
      return;
    }
  }
  if (request.workbookPath == kNoWorkbookPath) {
    tell(result, RunMessage::Kind::Error, "Darbaknygė nepasirinkta");
    result.outcome = RunOutcome::NoWorkbook;
    return;
  }
  if (auto missing = workbookMissing(request.workbookPath)) {
    tell(result, RunMessage::Kind::Error, *missing);
    return;
  }
  const ExistingRows existing{tables.lRows.size(), tables.uRows.size(),
                              summariseTable({}, tables.lRows, 10).amount,
                              summariseTable({}, tables.uRows, 5).amount};
  try {
    readWorkbook(request, progress, tables, collected);
  } catch (const rows::RunStopped&) {
    throw;
  } catch (...) {
    // The computer ran short, not the workbook: it is not said to be badly filled in.
    const ErrorKind kind = currentError().kind();
    const bool shortOf = kind == ErrorKind::kTooManyOpenFiles || kind == ErrorKind::kOutOfMemory;
    tellFailure(result,
                shortOf ? headline::cannotReadFile(request.workbookName)
                        : headline::badlyFilledFile(request.workbookName),
                request.workbookPath);
    return;
  }
  const declaration::DeclarationHeader header = headerToWrite(request, tables);
  result.report = makeReport(tables, collected, existing, header.id);
  const RunReport& report = *result.report;

  if (tables.lRows.empty() && tables.uRows.empty()) {
    tell(result, RunMessage::Kind::Information,
         "\"" + request.workbookName + "\" faile įrašų nerasta.");
    result.outcome = RunOutcome::NoRecords;
    return;
  }
  if (stopsWriting(request.writeMode, report)) {
    result.outcome = RunOutcome::NotWritten;
    return;
  }
  const std::optional<ReplacedDeclaration> replaced =
      request.askBeforeWriting || request.keepReplaced ? describeReplaced(request.outputFile)
                                                       : std::nullopt;
  if (!reviewed(request, review, report, header, replaced, result) || progress.stopRequested()) {
    result.outcome = progress.stopRequested() ? RunOutcome::Stopped : RunOutcome::Cancelled;
    return;
  }
  try {
    write(request, progress, tables, header, replaced, result);
  } catch (const rows::RunStopped&) {
    throw;
  } catch (...) {
    // The workbook was read; what failed is the writing, most often for want of disk space or
    // permission, so the headline names the declaration, not the workbook.
    tellFailure(result, headline::cannotWriteDeclaration(request.outputFile.string()),
                request.outputFile.string());
    return;
  }
  result.outcome = RunOutcome::Written;
  // A window closed meanwhile opens nothing any more.
  if (!progress.stopRequested()) result.openFailed = !opener.open(request.outputFile);
}

}  // namespace

RunResult runConversion(const RunRequest& request, ProgressSink& progress, RunReview* review,
                        DesktopOpener& opener) {
  RunResult result;
  try {
    convert(request, progress, review, opener, result);
  } catch (const rows::RunStopped&) {
    // The user ended the program during the run: nothing was saved, and nobody is waiting for
    // a message.
    result = RunResult{};
    result.outcome = RunOutcome::Stopped;
  } catch (...) {
    // Whatever escapes the run's own guards (memory running out between steps) is still told,
    // never passed on to the window or the command line.
    result.written.reset();
    tellFailure(result, std::string(headline::kCannotMakeDeclaration), {});
    result.outcome = RunOutcome::Failed;
  }
  progress.setStatus("");
  return result;
}

}  // namespace kvd507::runs
