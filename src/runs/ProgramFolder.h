#pragma once

#include <filesystem>

namespace kvd507::runs {

// The folder of the running executable: every file of the program is found beside it.
std::filesystem::path executableFolder();

// Where the declaration is written inside a program folder.
std::filesystem::path declarationFile(const std::filesystem::path& programFolder);

}  // namespace kvd507::runs
