#pragma once

#include <filesystem>

namespace kvd507::cli {

// The window is a program of its own, so that the commands do not load Qt and the fifty
// libraries behind it (about 11 ms at every start). It is beside this one in a build or a copied
// folder, and in libexec/kvd507 of an installed tree.
std::filesystem::path windowProgram(const std::filesystem::path& executableFolder);

// Replaces this process with the window program, passing `argv` on as it came. Returns only by
// throwing, when the window program cannot be started.
[[noreturn]] void startWindow(char** argv);

}  // namespace kvd507::cli
