#pragma once

#include <filesystem>

namespace kvd507::gui {

// Opens the main window on `programFolder` and runs until it is closed; returns the exit status.
int runWindow(int argc, char** argv, const std::filesystem::path& programFolder);

}  // namespace kvd507::gui
