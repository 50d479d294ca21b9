#pragma once

#include "cli/Command.h"

namespace kvd507::cli {

// `kvd507 convert WORKBOOK [options]`: the generation run, or the append run with --append,
// without a window.
Command convertCommand();

}  // namespace kvd507::cli
