#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kvd507::cli {

// `kvd507 convert WORKBOOK [options]`: the generation run, or the append run with --append,
// without a window. `arguments` follow the word "convert". Returns the exit status.
int runConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err);

}  // namespace kvd507::cli
