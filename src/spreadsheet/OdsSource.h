#pragma once

#include <filesystem>
#include <memory>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xlsx/InflateLimits.h"

namespace kvd507::spreadsheet {

// Opens an OpenDocument spreadsheet (.ods, and its template kind .ots). Throws WorkbookError
// naming the file when it is not one, is encrypted or cannot be read.
std::unique_ptr<WorkbookSource> openOdsSource(const std::filesystem::path& file);

// Whether a file is an OpenDocument package of any kind, told by its content, not its name.
bool isOpenDocumentFile(const std::filesystem::path& file);

namespace ods {

// openOdsSource with other limits than the usual ones; the content part, which holds every
// sheet, is held to the limit of a worksheet part.
std::unique_ptr<WorkbookSource> openOdsSource(const std::filesystem::path& file,
                                              const xlsx::InflateLimits& limits);

}  // namespace ods
}  // namespace kvd507::spreadsheet
