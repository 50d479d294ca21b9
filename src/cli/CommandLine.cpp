#include "cli/CommandLine.h"

#include "cli/ConvertCommand.h"
#include "cli/PayersCommand.h"
#include "cli/RowsCommand.h"

namespace kvd507::cli {
namespace {

int usageError(std::ostream& err, const std::string& problem) {
  err << "kvd507: " << problem << '\n' << kUsage;
  return kExitUsage;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  if (arguments.empty()) return usageError(err, "no command given");
  const std::string& command = arguments[0];
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return kExitWritten;
  }
  if (command == "rows") {
    if (arguments.size() != 2) return usageError(err, "rows takes exactly one workbook");
    return runRowsCommand(arguments[1], out, err);
  }
  if (command == "convert") {
    return runConvertCommand({arguments.begin() + 1, arguments.end()}, out, err);
  }
  if (command == "payers") {
    return runPayersCommand({arguments.begin() + 1, arguments.end()}, out, err);
  }
  return usageError(err, "unknown command \"" + command + "\"");
}

}  // namespace kvd507::cli
