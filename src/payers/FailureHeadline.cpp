#include "payers/FailureHeadline.h"

#include <filesystem>

#include "errors/Headlines.h"
#include "payers/PayerFileError.h"
#include "payers/SettingsError.h"

namespace kvd507::payers {

std::string failureHeadline(FileAction action, const Error& error) {
  const std::string name = std::filesystem::path(error.file()).filename().string();
  std::string text = (action == FileAction::kRead ? headline::cannotReadFile(name)
                                                  : headline::cannotWriteFile(name)) +
                     ": " + error.cause(error.file());
  // The characters refused are named: the user has to find them in what was typed.
  if (error.kind() == ErrorKind::kNotInListEncoding) text += ": " + error.detail();
  return text;
}

std::string currentFailureText() {
  try {
    throw;
  } catch (const PayerFileError& e) {
    return e.headline();
  } catch (const SettingsError& e) {
    return e.headline();
  } catch (...) {
    return currentError().message();
  }
}

}  // namespace kvd507::payers
