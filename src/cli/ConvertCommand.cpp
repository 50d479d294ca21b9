#include "cli/ConvertCommand.h"

#include <unistd.h>

#include <optional>

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "errors/Error.h"
#include "payers/StoredPayer.h"
#include "runs/ConversionRun.h"
#include "runs/ProgramFolder.h"
#include "workbook/DecimalSeparator.h"

namespace kvd507::cli {
namespace {

struct ConvertOptions {
  std::filesystem::path workbook;
  std::optional<std::filesystem::path> append;
  std::optional<std::string> payerCode;
  std::optional<std::string> payerName;
  std::string year = "2022";
  std::optional<std::filesystem::path> output;
  std::optional<std::filesystem::path> folder;
  bool open = false;
};

// Fills `options` from the arguments; returns a problem to report, or nothing.
std::optional<std::string> parse(const std::vector<std::string>& arguments,
                                 ConvertOptions& options) {
  bool haveWorkbook = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--open") {
      options.open = true;
      continue;
    }
    if (argument.rfind("--", 0) == 0) {
      if (i + 1 == arguments.size()) return argument + " needs a value";
      const std::string& value = arguments[++i];
      if (argument == "--append") {
        options.append = value;
      } else if (argument == "--payer-code") {
        options.payerCode = value;
      } else if (argument == "--payer-name") {
        options.payerName = value;
      } else if (argument == "--year") {
        options.year = value;
      } else if (argument == "--output") {
        options.output = value;
      } else if (argument == "--folder") {
        options.folder = value;
      } else {
        return "unknown option " + argument;
      }
      continue;
    }
    if (haveWorkbook) return "convert takes one workbook";
    options.workbook = argument;
    haveWorkbook = true;
  }
  if (!haveWorkbook) return "convert needs a workbook";
  return std::nullopt;
}

std::string pageSummary(const runs::RunState& state) {
  const std::size_t lPages = (state.lRows.size() + 9) / 10;
  const std::size_t uPages = (state.uRows.size() + 4) / 5;
  return "L įrašų: " + std::to_string(state.lRows.size()) +
         ", U įrašų: " + std::to_string(state.uRows.size()) +
         ", puslapių: " + std::to_string(1 + lPages + uPages) + " (pagrindinis, " +
         std::to_string(lPages) + " L, " + std::to_string(uPages) + " U)";
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
  ConvertOptions options;
  if (auto problem = parse(arguments, options)) {
    err << "kvd507: " << *problem << '\n' << kUsage;
    return kExitUsage;
  }
  const std::filesystem::path folder = options.folder ? *options.folder : runs::executableFolder();

  ConsoleHost::Payer payer;
  if (!options.payerCode || !options.payerName) {
    try {
      if (auto stored = payers::storedPayer(folder)) payer = {stored->name, stored->code};
    } catch (...) {
      const Error error = currentError();
      err << "kvd507: Nepavyko perskaityti pasirinkto mokėtojo: " << error.message() << '\n';
      if (!error.detail().empty()) err << "kvd507: " << error.detail() << '\n';
      return kExitFailure;
    }
  }
  if (options.payerCode) payer.code = *options.payerCode;
  if (options.payerName) payer.name = *options.payerName;

  ConsoleHost host(err, isatty(STDERR_FILENO) != 0);
  host.setWorkbook(std::filesystem::absolute(options.workbook));
  host.setPayer(payer);
  host.setYear(options.year);
  host.setExistingDeclaration(options.append);

  runs::RunSettings settings;
  settings.outputFile =
      std::filesystem::absolute(options.output ? *options.output : runs::declarationFile(folder))
          .lexically_normal();
  settings.decimalSeparator = workbook::decimalSeparatorFromEnvironment();

  runs::XdgOpener desktop;
  runs::NoOpener none;
  runs::DesktopOpener& opener = options.open ? static_cast<runs::DesktopOpener&>(desktop) : none;

  runs::RunState state;
  const runs::RunOutcome outcome = options.append
                                       ? runs::runAppend(host, state, settings, opener)
                                       : runs::runGeneration(host, state, settings, opener);
  switch (outcome) {
    case runs::RunOutcome::Written:
      out << settings.outputFile.string() << '\n' << pageSummary(state) << '\n';
      return kExitWritten;
    case runs::RunOutcome::NoRecords:
      return kExitNoRecords;
    case runs::RunOutcome::NoWorkbook:
    case runs::RunOutcome::Failed:
      break;
  }
  return kExitFailure;
}

}  // namespace kvd507::cli
