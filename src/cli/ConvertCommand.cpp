#include "cli/ConvertCommand.h"

#include <unistd.h>

#include <optional>
#include <utility>

#include "cli/ConsoleHost.h"
#include "cli/FolderInUse.h"
#include "cli/ReportPrinter.h"
#include "errors/Error.h"
#include "errors/Headlines.h"
#include "payers/StoredPayer.h"
#include "runs/ChoiceDefaults.h"
#include "runs/ConversionRun.h"
#include "runs/KeptDeclarations.h"
#include "runs/ProgramFolder.h"
#include "spreadsheet/DecimalSeparator.h"

namespace kvd507::cli {
namespace {

struct ConvertOptions {
  std::filesystem::path workbook;
  std::optional<std::filesystem::path> append;
  std::optional<std::string> payerCode;
  std::optional<std::string> payerName;
  std::string year = runs::defaultYear(runs::currentCalendarYear());
  std::optional<std::filesystem::path> output;
  std::optional<std::filesystem::path> folder;
  bool open = false;
  runs::WriteMode strict = runs::WriteMode::Always;  // what --strict asks for
};

// The tax period: four digits, from 2000 to the year after this one (a declaration may be made
// ahead of time, never for a year long gone or one that is not a year).
std::string checkedYear(const std::string& year) {
  const int last = runs::currentCalendarYear() + 1;
  const bool digits = year.size() == 4 && year.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stoi(year) < 2000 || std::stoi(year) > last) {
    throw UsageError("netinkama parinkties --year reikšmė \"" + year +
                     "\": metai rašomi keturiais skaitmenimis, nuo 2000 iki " +
                     std::to_string(last));
  }
  return year;
}

runs::WriteMode strictness(const ParsedArguments& arguments) {
  const std::optional<std::string> value = arguments.value("--strict");
  if (!value) return runs::WriteMode::Always;
  if (value->empty()) return runs::WriteMode::UnlessDataLost;
  if (*value == "all") return runs::WriteMode::UnlessAnyFinding;
  throw UsageError("netinkama parinkties --strict reikšmė \"" + *value +
                   "\": galima tik --strict arba --strict=all");
}

ConvertOptions optionsFrom(const ParsedArguments& arguments) {
  ConvertOptions options;
  options.workbook = arguments.operands.at(0);
  if (auto value = arguments.value("--append")) options.append = *value;
  options.payerCode = arguments.value("--payer-code");
  options.payerName = arguments.value("--payer-name");
  if (auto value = arguments.value("--year")) options.year = checkedYear(*value);
  if (auto value = arguments.value("--output")) options.output = *value;
  if (auto value = arguments.value("--folder")) options.folder = *value;
  options.open = arguments.has("--open");
  options.strict = strictness(arguments);
  return options;
}

// An append run keeps the declaration's own payer and year: one asked for explicitly that is not
// the declaration's would give a file that says two things, so the command line is refused.
// An unreadable declaration is left for the run to report.
void refuseOtherPayerOrYear(const ParsedArguments& arguments, const std::filesystem::path& file,
                            const std::string& code, const std::string& year) {
  const std::optional<runs::ReplacedDeclaration> existing = runs::describeReplaced(file);
  if (!existing || !existing->readable) return;
  const std::string name = file.filename().string();
  if (arguments.has("--payer-code") && code != existing->payerCode) {
    throw UsageError("--payer-code " + code + " nesutampa su papildomos formos " + name +
                     " mokėtojo kodu \"" + existing->payerCode +
                     "\": papildyta forma lieka savo mokėtojo; parinktį praleiskite");
  }
  if (arguments.has("--year") && year != existing->year) {
    throw UsageError("--year " + year + " nesutampa su papildomos formos " + name + " metais \"" +
                     existing->year + "\": papildyta forma lieka savo metų; parinktį praleiskite");
  }
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
      if (purpose == Purpose::Check ? findings : runs::stopsWriting(options.strict, report)) {
        return kExitFindings;
      }
      return kExitNoRecords;
    case runs::RunOutcome::NoWorkbook:
    case runs::RunOutcome::Failed:
    case runs::RunOutcome::Stopped:
    case runs::RunOutcome::Cancelled:
      break;
  }
  return kExitFailure;
}

int runConversion(Purpose purpose, const ParsedArguments& arguments, std::ostream& out,
                  std::ostream& err) {
  const ConvertOptions options = optionsFrom(arguments);
  std::filesystem::path folder;
  try {
    folder = runs::openProgramFolder(options.folder, runs::Program::kCommandLine);
  } catch (...) {
    printFolderError(err);
    return kExitFailure;
  }

  struct {
    std::string name;
    std::string code{runs::kNoPayerCode};
  } payer;
  if (!options.payerCode || !options.payerName) {
    try {
      if (auto stored = payers::storedPayer(folder)) payer = {stored->name, stored->code};
    } catch (...) {
      const Error error = currentError();
      err << "kvd507: " << headline::kCannotReadChosenPayer << ": " << oneLine(error.message())
          << '\n';
      if (arguments.has("--verbose") && !error.detail().empty()) {
        err << "kvd507: " << oneLine(error.detail()) << '\n';
      }
      return kExitFailure;
    }
  }
  if (options.payerCode) payer.code = *options.payerCode;
  if (options.payerName) payer.name = *options.payerName;

  if (options.append) refuseOtherPayerOrYear(arguments, *options.append, payer.code, options.year);

  runs::RunRequest request;
  request.workbookPath = std::filesystem::absolute(options.workbook).string();
  request.workbookName = options.workbook.filename().string();
  request.existingDeclaration = options.append;
  request.payerCode = payer.code;
  request.payerName = payer.name;
  request.year = options.year;
  request.outputFile =
      std::filesystem::absolute(options.output ? *options.output : runs::declarationFile(folder))
          .lexically_normal();
  // Only the usual declaration is kept when replaced: a file named with --output is the
  // caller's to keep.
  request.keepReplaced = !options.output && purpose == Purpose::Convert;
  request.decimalSeparator = spreadsheet::decimalSeparatorFromEnvironment();
  request.writeMode = purpose == Purpose::Check ? runs::WriteMode::Never : options.strict;

  runs::XdgOpener desktop;
  runs::NoOpener none;
  const bool open = options.open && purpose == Purpose::Convert;
  runs::DesktopOpener& opener = open ? static_cast<runs::DesktopOpener&>(desktop) : none;

  ConsoleHost host(err, isatty(STDERR_FILENO) != 0);
  const runs::RunResult result = runs::runConversion(request, host, nullptr, opener);
  const runs::RunOutcome outcome = result.outcome;
  host.printMessages(result, arguments.has("--verbose"));
  if (result.openFailed && result.written) {
    err << "kvd507: forma įrašyta, bet jos neatidarė jokia programa: .ffdata failams "
           "neužregistruota jokia programa; formą galima peržiūrėti komanda \"kvd507 view "
        << result.written->string() << "\"\n";
  }
  if (!result.report) return exitStatus(purpose, options, outcome, {});
  const runs::RunReport& report = *result.report;
  printFindings(report, err);
  if (outcome == runs::RunOutcome::NotWritten && purpose == Purpose::Convert) {
    if (options.strict == runs::WriteMode::UnlessAnyFinding) {
      err << "kvd507: forma neįrašyta (--strict=all): rasta pastabų\n";
    } else {
      err << "kvd507: forma neįrašyta (--strict): dalis duomenų būtų laikoma 0, praleista ar "
             "neperskaityta, arba nepasirinktas išmokų mokėtojas\n";
    }
  }
  if (result.written) out << result.written->string() << '\n';
  if (result.kept) out << "Ankstesnė forma išsaugota: " << result.kept->string() << '\n';
  printSummary(report, request.decimalSeparator, out);
  return exitStatus(purpose, options, outcome, report);
}

int runConvert(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  return runConversion(Purpose::Convert, arguments, out, err);
}

int runCheck(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  return runConversion(Purpose::Check, arguments, out, err);
}

// The options of convert; check takes the same, so that a convert command line becomes a check
// by changing one word.
std::vector<OptionSpec> conversionOptions() {
  return {
      {"--append", "FORMA",
       "papildo esamą formą: perima jos antraštę ir įrašus, prideda darbaknygės įrašus",
       "kuriama nauja forma"},
      {"--payer-code", "KODAS",
       "išmokų mokėtojo kodas; su --append turi sutapti su papildomos formos (kitaip klaida 2)",
       "pasirinkto mokėtojo (APLANKAS/_nustatymai.ini ir asmenys.txt) kodas; "
       "kai jo nėra, \"lb_kodas\""},
      {"--payer-name", "PAVADINIMAS", "išmokų mokėtojo pavadinimas",
       "pasirinkto mokėtojo pavadinimas; kai jo nėra, tuščias"},
      {"--year", "METAI",
       "mokestinis laikotarpis; su --append turi sutapti su papildomos formos (kitaip klaida 2)",
       "praėję metai (dabar " + runs::defaultYear(runs::currentCalendarYear()) + ")"},
      {"--output", "FAILAS", "kur įrašyti formą (esamas failas pakeičiamas)",
       "APLANKAS/formos/KVD507.ffdata; ankstesnė forma perkeliama į APLANKAS/formos/ankstesnės "
       "(laikomos 20 naujausių)"},
      {"--folder", "APLANKAS",
       "programos aplankas: jame ieškoma asmenys.txt, _nustatymai.ini ir aplanko formos",
       defaultFolderText()},
      {"--open", "", "įrašytą formą atidaro darbalaukio programa (xdg-open)", "neatidaroma"},
      {"--strict", "all",
       "formos neįrašo, kai dalis duomenų būtų laikoma 0, praleista ar neperskaityta arba "
       "nepasirinktas išmokų mokėtojas; su =all – kai rasta bet kokia pastaba",
       "forma įrašoma, pastabos tik parašomos", true},
      verboseOption(),
  };
}

}  // namespace

Command convertCommand() {
  CommandSpec spec;
  spec.name = "convert";
  spec.operands = "DARBAKNYGĖ";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Iš darbaknygės (.xlsx, .xls ar .ods) lapų \"KVD507 L\" ir \"KVD507 U\" parengia formą "
      "KVD507.ffdata; santrauką parašo į stdout, pastabas į stderr.";
  spec.options = conversionOptions();
  spec.exitStatuses =
      "  0  forma įrašyta\n"
      "  1  nepavyko: darbaknygės, esamos formos ar mokėtojų failo neperskaitė arba formos "
      "neįrašė\n"
      "  2  neteisinga komandinė eilutė\n"
      "  3  darbaknygėje įrašų nerasta, forma neįrašyta\n"
      "  4  su --strict: dalis duomenų būtų prarasta arba nėra mokėtojo, su --strict=all: rasta\n"
      "     pastabų; forma neįrašyta\n";
  return {std::move(spec), &runConvert};
}

Command checkCommand() {
  CommandSpec spec;
  spec.name = "check";
  spec.operands = "DARBAKNYGĖ";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Perskaito darbaknygę taip, kaip convert su tomis pačiomis parinktimis, bet nieko "
      "neįrašo: parašo santrauką ir pastabas (--output, --open ir --strict nieko nekeičia).";
  spec.options = conversionOptions();
  spec.exitStatuses =
      "  0  pastabų nėra\n"
      "  1  nepavyko perskaityti darbaknygės, esamos formos ar mokėtojų failo\n"
      "  2  neteisinga komandinė eilutė\n"
      "  3  darbaknygėje įrašų nerasta\n"
      "  4  rasta pastabų\n";
  return {std::move(spec), &runCheck};
}

}  // namespace kvd507::cli
