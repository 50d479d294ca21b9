#include "runs/WorkbookMissing.h"

#include <system_error>

namespace kvd507::runs {

std::optional<std::string> workbookMissing(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return "Failas nerastas: " + path.string();
  }
  if (status.type() == std::filesystem::file_type::directory) {
    return "Tai aplankas, ne darbaknygė: " + path.string();
  }
  return std::nullopt;
}

}  // namespace kvd507::runs
