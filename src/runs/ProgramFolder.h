#pragma once

#include <filesystem>
#include <optional>

namespace kvd507::runs {

// The folder of the running executable.
std::filesystem::path executableFolder();

// The two executables are installed into different folders of the tree.
enum class Program { kCommandLine, kWindow };

// The root of the installed tree the executable runs from ("/usr" for /usr/bin/kvd507), or
// nothing when it runs from anywhere else (a build folder, a folder the user copied it to). An
// installed program is known by its layout, not by whether it may write there (root may write
// anywhere): its folder is where `program` is installed under the root (bin, or libexec/kvd507
// for the window), and the root holds the templates (share/kvd507/sablonas).
std::optional<std::filesystem::path> installedRoot(const std::filesystem::path& executableFolder,
                                                   Program program);

// The templates of an installed tree, and where the window program is in it.
std::filesystem::path installedTemplates(const std::filesystem::path& root);
std::filesystem::path installedWindowProgram(const std::filesystem::path& root);

// An installed program keeps the user's files in $XDG_DATA_HOME/kvd507 (by default
// ~/.local/share/kvd507); nothing of the user's is written into the installed tree.
std::filesystem::path userProgramFolder();

// The program folder in use: asmenys.txt, _nustatymai.ini, formos and sablonas are in it.
struct ProgramFolder {
  std::filesystem::path path;
  // An installed program's templates, given to the folder on its first use.
  std::optional<std::filesystem::path> templates;
};

// `chosen` (--folder) when given; else the user's folder for an installed program; else the
// executable's folder, so that a program run from its build folder or a copied folder carries
// its files with it.
ProgramFolder programFolder(const std::optional<std::filesystem::path>& chosen, Program program);

// Makes an installed program's folder ready: creates it with its missing parents and, when it
// has no `sablonas` yet, copies the templates into one, so that the user can fill and save
// them. A folder without templates to give is left as it is. Throws IoError.
void prepareProgramFolder(const ProgramFolder& folder);

// programFolder() made ready; what the commands work in.
std::filesystem::path openProgramFolder(const std::optional<std::filesystem::path>& chosen,
                                        Program program);

// Where the declaration is written inside a program folder.
std::filesystem::path declarationFile(const std::filesystem::path& programFolder);

}  // namespace kvd507::runs
