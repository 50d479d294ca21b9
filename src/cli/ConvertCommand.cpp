#include "cli/ConvertCommand.h"

#include <unistd.h>

#include <optional>
#include <utility>

#include "cli/ConsoleHost.h"
#include "errors/Error.h"
#include "payers/StoredPayer.h"
#include "runs/ConversionRun.h"
#include "runs/ProgramFolder.h"
#include "runs/WindowState.h"
#include "workbook/DecimalSeparator.h"

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
};

ConvertOptions optionsFrom(const ParsedArguments& arguments) {
  ConvertOptions options;
  options.workbook = arguments.operands.at(0);
  if (auto value = arguments.value("--append")) options.append = *value;
  options.payerCode = arguments.value("--payer-code");
  options.payerName = arguments.value("--payer-name");
  if (auto value = arguments.value("--year")) options.year = *value;
  if (auto value = arguments.value("--output")) options.output = *value;
  if (auto value = arguments.value("--folder")) options.folder = *value;
  options.open = arguments.has("--open");
  return options;
}

std::string pageSummary(const runs::RunState& state) {
  const std::size_t lPages = (state.lRows.size() + 9) / 10;
  const std::size_t uPages = (state.uRows.size() + 4) / 5;
  return "L įrašų: " + std::to_string(state.lRows.size()) +
         ", U įrašų: " + std::to_string(state.uRows.size()) +
         ", puslapių: " + std::to_string(1 + lPages + uPages) + " (pagrindinis, " +
         std::to_string(lPages) + " L, " + std::to_string(uPages) + " U)";
}

int runConvert(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  const ConvertOptions options = optionsFrom(arguments);
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
    case runs::RunOutcome::Stopped:
      break;
  }
  return kExitFailure;
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
      "KVD507.ffdata.";
  spec.options = {
      {"--append", "FORMA",
       "papildo esamą formą: perima jos antraštę ir įrašus, prideda darbaknygės įrašus",
       "kuriama nauja forma"},
      {"--payer-code", "KODAS", "išmokų mokėtojo kodas",
       "pasirinkto mokėtojo (APLANKAS/_nustatymai.ini ir asmenys.txt) kodas; "
       "kai jo nėra, \"lb_kodas\""},
      {"--payer-name", "PAVADINIMAS", "išmokų mokėtojo pavadinimas",
       "pasirinkto mokėtojo pavadinimas; kai jo nėra, tuščias"},
      {"--year", "METAI", "mokestinis laikotarpis",
       "praėję metai (dabar " + runs::defaultYear(runs::currentCalendarYear()) + ")"},
      {"--output", "FAILAS", "kur įrašyti formą (esamas failas pakeičiamas)",
       "APLANKAS/formos/KVD507.ffdata"},
      {"--folder", "APLANKAS",
       "programos aplankas: jame ieškoma asmenys.txt, _nustatymai.ini ir aplanko formos",
       "aplankas, kuriame yra programa"},
      {"--open", "", "įrašytą formą atidaro darbalaukio programa (xdg-open)", "neatidaroma"},
  };
  spec.exitStatuses =
      "  0  forma įrašyta\n"
      "  1  nepavyko: darbaknygės, esamos formos ar mokėtojų failo neperskaitė arba formos "
      "neįrašė\n"
      "  2  neteisinga komandinė eilutė\n"
      "  3  darbaknygėje įrašų nerasta, forma neįrašyta\n";
  return {std::move(spec), &runConvert};
}

}  // namespace kvd507::cli
