#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kvd507::cli {

// `kvd507 convert WORKBOOK [options]`: the generation run, or the append run with --append,
// without a window. `arguments` follow the word "convert". Returns the exit status.
int runConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err);

// `kvd507 check WORKBOOK [options]`: reads as `convert` with the same options would, writes
// nothing, and prints the summary and the findings. Exit status 0 when there is nothing to
// tell, 4 when there are findings.
int runCheckCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace kvd507::cli
