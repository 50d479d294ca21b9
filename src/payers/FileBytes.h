#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kvd507::payers {

// Whole-file access for the small text files beside the program. Failures throw
// std::system_error with the system's reason; callers add which file and what they were doing.

std::string readFileBytes(const std::filesystem::path& file);

// Writes a sibling temporary file and renames it over the file, so that a failure half-way
// (disk full, say) leaves the old contents in place instead of a truncated list. An existing
// file's permissions are kept.
void replaceFileBytes(const std::filesystem::path& file, std::string_view bytes);

// Appends at the end, creating the file when it is missing.
void appendFileBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kvd507::payers
