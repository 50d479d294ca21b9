#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kvd507::runs {

// What to tell when `path` cannot be a workbook before it is even opened: "Failas nerastas: …"
// when nothing is there, "Tai aplankas, ne darbaknygė: …" for a folder. Nothing otherwise; what
// else can fail is told by opening it.
std::optional<std::string> workbookMissing(const std::filesystem::path& path);

}  // namespace kvd507::runs
