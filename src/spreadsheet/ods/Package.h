#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::ods {

// The media type an OpenDocument package states in its "mimetype" entry, or nothing when the
// archive has no such entry (it is then no OpenDocument file).
std::optional<std::string> packageMediaType(xlsx::ZipArchive& archive);

// Whether the package's manifest lists encryption data for any of its entries: a document saved
// with a password.
bool isEncrypted(xlsx::ZipArchive& archive, std::uint64_t limit);

// Whether the file is a zip archive that says it is an OpenDocument file of any kind, or has a
// mimetype entry too damaged to say. A file that cannot be opened as a zip archive is not one.
bool isOpenDocument(const std::filesystem::path& file);

}  // namespace kvd507::spreadsheet::ods
