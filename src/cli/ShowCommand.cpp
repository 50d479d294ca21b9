#include "cli/ShowCommand.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/RowsCommand.h"
#include "cli/WindowLauncher.h"
#include "errors/Error.h"
#include "errors/Headlines.h"
#include "runs/DeclarationContent.h"

namespace kvd507::cli {
namespace {

void printHeaderLine(const char* name, const std::string& value, std::ostream& out) {
  std::string line = name;
  line += '\t';
  appendField(line, value);
  line += '\n';
  out << line;
}

// Tells why `path` cannot be a declaration without reading it: it is missing or a folder.
bool mayBeDeclaration(const std::string& path, std::ostream& err) {
  std::error_code status;
  const auto type = std::filesystem::status(path, status).type();
  if (type == std::filesystem::file_type::not_found) {
    err << "kvd507: Failas nerastas: " << path << '\n';
    return false;
  }
  if (type == std::filesystem::file_type::directory) {
    err << "kvd507: Tai aplankas, ne forma: " << path << '\n';
    return false;
  }
  return true;
}

// Reads the declaration or tells why not; false when it could not be read.
bool readContent(const std::string& path, runs::DeclarationContent& content, std::ostream& err,
                 bool verbose) {
  if (!mayBeDeclaration(path, err)) return false;
  try {
    content = runs::readDeclarationContent(path);
    return true;
  } catch (...) {
    const Error error = currentError();
    err << "kvd507: "
        << headline::cannotReadDeclaration(std::filesystem::path(path).filename().string()) << ": "
        << error.cause(path) << '\n';
    if (verbose && !error.detail().empty()) err << "kvd507: " << error.detail() << '\n';
    return false;
  }
}

int runShow(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  const std::string& path = arguments.operands.at(0);
  const bool verbose = arguments.has("--verbose");
  if (auto pdf = arguments.value("--pdf")) {
    // The PDF is drawn by the window program, without a display. It reads the declaration
    // itself, once (a large one takes longer to read than to start the program), and tells a
    // failure in the words used here.
    if (!mayBeDeclaration(path, err)) return kExitFailure;
    out.flush();
    std::vector<std::string> words{"--pdf", std::filesystem::absolute(path).string(),
                                   std::filesystem::absolute(*pdf).string()};
    if (verbose) words.emplace_back("--verbose");
    startWindowWith(words);
  }
  return runShowCommand(path, out, err, verbose);
}

int runView(const ParsedArguments& arguments, std::ostream&, std::ostream& err) {
  const std::string& path = arguments.operands.at(0);
  runs::DeclarationContent content;
  if (!readContent(path, content, err, arguments.has("--verbose"))) return kExitFailure;
  startWindowWith({"--view", std::filesystem::absolute(path).string()});
}

}  // namespace

int runShowCommand(const std::string& declarationPath, std::ostream& out, std::ostream& err,
                   bool verbose) {
  runs::DeclarationContent content;
  if (!readContent(declarationPath, content, err, verbose)) return kExitFailure;
  printHeaderLine("B_MM_ID", content.header.id, out);
  printHeaderLine("B_MM_Pavad", content.payerName, out);
  printHeaderLine("B_ML_Metai", content.header.year, out);
  printHeaderLine("Puslapių", std::to_string(content.pages), out);
  printRows("L", content.lRows, out);
  printRows("U", content.uRows, out);
  // What the declaration alone shows to be wrong, as the viewer lists it; the rows stay data.
  for (const rows::Finding& finding : content.findings) {
    err << "kvd507: pastaba: " << oneLine(finding.describe()) << '\n';
  }
  return kExitWritten;
}

bool isDeclarationToView(const std::string& argument) {
  const std::filesystem::path path(argument);
  std::error_code error;
  return path.extension() == ".ffdata" && std::filesystem::is_regular_file(path, error);
}

Command showCommand() {
  CommandSpec spec;
  spec.name = "show";
  spec.operands = "FORMA";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Išveda formos (.ffdata) antraštę (B_MM_ID, B_MM_Pavad, B_ML_Metai, puslapių skaičių) ir "
      "įrašus, kuriuos perimtų jos papildymas, tuo pačiu formatu kaip rows, kad formą būtų galima "
      "palyginti su darbaknyge.";
  spec.options = {
      {"--pdf", "FAILAS",
       "vietoj išvedimo įrašo formą kaip PDF (A4, tokį pat kaip peržiūros lange); ekrano nereikia",
       "išvedama į stdout"},
      verboseOption(),
  };
  spec.exitStatuses =
      "  0  forma išvesta (ar PDF įrašytas)\n"
      "  1  formos nepavyko perskaityti: ne visa forma, ne UTF-8, nėra failo; arba PDF neįrašytas\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec), &runShow};
}

Command viewCommand() {
  CommandSpec spec;
  spec.name = "view";
  spec.operands = "FORMA";
  spec.minOperands = 1;
  spec.maxOperands = 1;
  spec.summary =
      "Atveria formą (.ffdata) peržiūros lange: antraštė, L ir U priedų lentelės, sumos, "
      "pastabos; iš jo formą galima spausdinti ar įrašyti PDF. Failas nekeičiamas.";
  spec.options = {verboseOption()};
  spec.exitStatuses =
      "  0  langas uždarytas\n"
      "  1  formos nepavyko perskaityti arba lango nepavyko atverti\n"
      "  2  neteisinga komandinė eilutė\n";
  return {std::move(spec), &runView};
}

}  // namespace kvd507::cli
