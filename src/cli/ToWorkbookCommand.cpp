#include "cli/ToWorkbookCommand.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "declaration/DeclarationError.h"
#include "errors/Error.h"
#include "errors/Headlines.h"
#include "export/DeclarationToWorkbook.h"

namespace kvd507::cli {
namespace {

namespace fs = std::filesystem;

// The argument as one word for a POSIX shell, so that the printed command can be pasted.
std::string shellWord(const std::string& word) {
  std::string text = "'";
  for (const char c : word) {
    if (c == '\'') {
      text += "'\\''";
    } else {
      text += c;
    }
  }
  return text + "'";
}

void printWritten(const exports::WrittenWorkbook& written, std::ostream& out) {
  const exports::WorkbookOrigin& origin = written.origin;
  out << written.file.string() << '\n'
      << "Išmokų mokėtojo kodas:\t" << oneLine(origin.payerCode) << '\n'
      << "Išmokų mokėtojas:\t" << oneLine(origin.payerName) << '\n'
      << "Mokestinis laikotarpis:\t" << oneLine(origin.year) << '\n'
      << "L priedo eilučių:\t" << written.lRows << '\n'
      << "U priedo eilučių:\t" << written.uRows << '\n'
      << "Pataisytą darbaknygę vėl į formą: kvd507 convert " << shellWord(written.file.string())
      << " --payer-code " << shellWord(origin.payerCode) << " --payer-name "
      << shellWord(origin.payerName) << " --year " << shellWord(origin.year) << '\n';
}

int runToWorkbook(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  const fs::path declaration = arguments.operands.at(0);
  const std::optional<std::string> output = arguments.value("--output");
  const fs::path workbook = output ? fs::path(*output) : exports::defaultWorkbookFor(declaration);
  const auto replace =
      arguments.has("--force") ? exports::Replace::kAllowed : exports::Replace::kNever;
  const bool verbose = arguments.has("--verbose");
  const std::string declarationName = declaration.filename().string();
  try {
    printWritten(exports::declarationToWorkbook(declaration, workbook, replace), out);
    return kExitWritten;
  } catch (const exports::RowNotInTemplate& e) {
    err << "kvd507: "
        << oneLine(headline::cannotMoveToWorkbook(declarationName) + ": " + e.describe() +
                   "; darbaknygė neįrašyta")
        << '\n';
    return kExitFailure;
  } catch (const declaration::DeclarationError& e) {
    err << "kvd507: "
        << oneLine(headline::cannotReadDeclaration(declarationName) + ": " +
                   e.cause(declaration.string()))
        << '\n';
    if (verbose && !e.detail().empty()) err << "kvd507: " << oneLine(e.detail()) << '\n';
    return kExitFailure;
  } catch (...) {
    const Error error = currentError();
    std::string text =
        headline::cannotWriteWorkbook(workbook.string()) + ": " + error.cause(workbook.string());
    if (error.kind() == ErrorKind::kFileExists && replace == exports::Replace::kNever) {
      text += "; kitą vietą nurodykite su --output arba leiskite ją pakeisti su --force";
    }
    err << "kvd507: " << oneLine(text) << '\n';
    if (verbose && !error.detail().empty()) err << "kvd507: " << oneLine(error.detail()) << '\n';
    return kExitFailure;
  }
}

}  // namespace

Command toWorkbookCommand() {
  CommandSpec spec;
  spec.name = "to-workbook";
  spec.operands = "FORMA";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Įrašo formos (.ffdata) įrašus į darbaknygę (.xlsx), išdėstytą kaip šablonas: lapai "
      "\"KVD507 L\" ir \"KVD507 U\", po įrašą eilutėje nuo 6-os. Darbaknygę galima pataisyti ir "
      "su convert (tas pats mokėtojas ir metai) vėl paversti forma; nepakeista ji duoda tą pačią "
      "formą. Išveda darbaknygės vardą, formos mokėtoją ir metus. Eilutė, kurios darbaknygė "
      "neišlaiko, atmetama (nurodomas puslapis ir eilutė), ir nieko neįrašoma.";
  spec.options = {
      {"--output", "DARBAKNYGĖ", "kur įrašyti darbaknygę", "FORMA su galūne .xlsx"},
      {"--force", "", "esamą darbaknygę pakeisti",
       "esama darbaknygė nekeičiama (baigties kodas 1)"},
      verboseOption(),
  };
  spec.exitStatuses =
      "  0  darbaknygė įrašyta\n"
      "  1  nepavyko: formos neperskaitė, jos eilutės darbaknygė neišlaiko, darbaknygė jau yra\n"
      "     (be --force) arba jos neįrašė; darbaknygė neįrašyta\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec), &runToWorkbook};
}

}  // namespace kvd507::cli
