#pragma once

#include <filesystem>
#include <optional>

#include "rows/Finding.h"

namespace kvd507::runs {

// The finding that the workbook is open in another program, told when its lock file lies
// beside it: LibreOffice's ".~lock.NAME#" or Excel's owner file "~$NAME" (Excel cuts the first
// two characters of a long name). What the program has not saved yet is not in the file, so
// the declaration would be made without it. The lock's user name is told when it holds one.
std::optional<rows::Finding> workbookOpenElsewhere(const std::filesystem::path& workbook);

}  // namespace kvd507::runs
