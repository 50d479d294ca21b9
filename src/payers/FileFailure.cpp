#include "payers/FileFailure.h"

#include <cerrno>

#include "files/IoError.h"

namespace kvd507::payers {

std::string failureMessage(FileAction action, const std::filesystem::path& file,
                           std::string_view reason) {
  const char* verb = action == FileAction::kRead ? "perskaityti" : "įrašyti";
  return std::string("Nepavyko ") + verb + " failo " + file.filename().string() + ": " +
         std::string(reason);
}

std::string reasonText(const std::error_code& code) {
  if (code.category() == files::fileProblemCategory()) {
    switch (static_cast<files::FileProblem>(code.value())) {
      case files::FileProblem::kNotRegularFile:
        return "tai ne failas";
      case files::FileProblem::kTooLarge:
        return "failas per didelis";
    }
  }
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
    switch (code.value()) {
      case ENOENT:
        return "tokio failo nėra";
      case EACCES:
      case EPERM:
        return "neturite teisės prie jo prieiti";
      case EROFS:
        return "laikmena tik skaitymui";
      case ENOSPC:
      case EDQUOT:
        return "diske nebėra vietos";
      case EFBIG:
        return "failas per didelis";
      case EISDIR:
        return "tai aplankas, ne failas";
      case ENOTDIR:
        return "kelyje yra ne aplankas";
      case EIO:
        return "disko skaitymo ar rašymo klaida";
      default:
        break;
    }
  }
  return code.message();
}

}  // namespace kvd507::payers
