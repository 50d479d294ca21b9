#pragma once

#include "cli/Command.h"

namespace kvd507::cli {

// `kvd507 convert WORKBOOK [options]`: the generation run, or the append run with --append,
// without a window.
Command convertCommand();

// `kvd507 check WORKBOOK [options]`: reads as `convert` with the same options would, writes
// nothing, and prints the summary and the findings.
Command checkCommand();

}  // namespace kvd507::cli
