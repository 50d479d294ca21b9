#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kvd507::cli {

// Exit statuses of the command line.
inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoRecords = 3;

inline constexpr const char* kUsage =
    "usage: kvd507 rows WORKBOOK\n"
    "       kvd507 convert WORKBOOK [--append FILE] [--payer-code CODE] [--payer-name NAME]\n"
    "                      [--year YEAR] [--output FILE] [--folder DIR] [--open]\n"
    "       kvd507 payers [--folder DIR]\n"
    "       kvd507 payers add NAME CODE [--folder DIR]\n"
    "       kvd507 payers select POSITION [--folder DIR]\n";

// Dispatches `kvd507 SUBCOMMAND ...` (the program name left out) and returns the exit status.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kvd507::cli
