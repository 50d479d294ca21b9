#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvd507::cli {

// The window is a program of its own, so that the commands do not load Qt and the fifty
// libraries behind it (about 11 ms at every start). It is beside this one in a build or a copied
// folder, and in libexec/kvd507 of an installed tree.
std::filesystem::path windowProgram(const std::filesystem::path& executableFolder);

// Replaces this process with the window program, passing `argv` on as it came. Returns only by
// throwing, when the window program cannot be started.
[[noreturn]] void startWindow(char** argv);

// The same with the arguments given: `arguments` are those after the program's name.
[[noreturn]] void startWindowWith(const std::vector<std::string>& arguments);

}  // namespace kvd507::cli
