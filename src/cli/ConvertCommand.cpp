#include "cli/ConvertCommand.h"

#include <unistd.h>

#include <optional>

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/ReportPrinter.h"
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
  bool strict = false;
};

// Fills `options` from the arguments; returns a problem to report, or nothing.
std::optional<std::string> parse(const std::vector<std::string>& arguments,
                                 ConvertOptions& options) {
  bool haveWorkbook = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--open" || argument == "--strict") {
      (argument == "--open" ? options.open : options.strict) = true;
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
    if (haveWorkbook) return "takes one workbook";
    options.workbook = argument;
    haveWorkbook = true;
  }
  if (!haveWorkbook) return "needs a workbook";
  return std::nullopt;
}

// What the command is asked to do with what the run read.
enum class Purpose { Convert, Check };

// The exit status, once the run has reported what it read and found.
int exitStatus(Purpose purpose, const ConvertOptions& options, runs::RunOutcome outcome,
               const runs::RunReport& report) {
  const bool findings = !report.findings.empty();
  switch (outcome) {
    case runs::RunOutcome::Written:
      return kExitWritten;
    case runs::RunOutcome::NotWritten:
      return purpose == Purpose::Check && !findings ? kExitWritten : kExitFindings;
    case runs::RunOutcome::NoRecords:
      if (purpose == Purpose::Check ? findings : options.strict && report.losesData()) {
        return kExitFindings;
      }
      return kExitNoRecords;
    case runs::RunOutcome::NoWorkbook:
    case runs::RunOutcome::Failed:
      break;
  }
  return kExitFailure;
}

int runConversion(Purpose purpose, const std::vector<std::string>& arguments, std::ostream& out,
                  std::ostream& err) {
  ConvertOptions options;
  if (auto problem = parse(arguments, options)) {
    err << "kvd507: " << (purpose == Purpose::Check ? "check " : "convert ") << *problem << '\n'
        << kUsage;
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
  if (purpose == Purpose::Check) {
    settings.writeMode = runs::WriteMode::Never;
  } else if (options.strict) {
    settings.writeMode = runs::WriteMode::UnlessDataLost;
  }

  runs::XdgOpener desktop;
  runs::NoOpener none;
  const bool open = options.open && purpose == Purpose::Convert;
  runs::DesktopOpener& opener = open ? static_cast<runs::DesktopOpener&>(desktop) : none;

  runs::RunState state;
  const runs::RunOutcome outcome = options.append
                                       ? runs::runAppend(host, state, settings, opener)
                                       : runs::runGeneration(host, state, settings, opener);
  if (!host.report()) return exitStatus(purpose, options, outcome, {});
  const runs::RunReport& report = *host.report();
  printFindings(report, err);
  if (outcome == runs::RunOutcome::NotWritten && purpose == Purpose::Convert) {
    err << "kvd507: forma neįrašyta (--strict): dalis duomenų būtų laikoma 0, praleista ar "
           "neperskaityta\n";
  }
  if (outcome == runs::RunOutcome::Written) out << settings.outputFile.string() << '\n';
  printSummary(report, settings.decimalSeparator, out);
  return exitStatus(purpose, options, outcome, report);
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
  return runConversion(Purpose::Convert, arguments, out, err);
}

int runCheckCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
  return runConversion(Purpose::Check, arguments, out, err);
}

}  // namespace kvd507::cli
