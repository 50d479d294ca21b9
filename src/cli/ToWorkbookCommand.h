#pragma once

#include "cli/Command.h"

namespace kvd507::cli {

// `kvd507 to-workbook FORMA [--output DARBAKNYGĖ] [--force]`: a declaration's rows back in the
// template, to be corrected and converted again.
Command toWorkbookCommand();

}  // namespace kvd507::cli
