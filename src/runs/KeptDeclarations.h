#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvd507::runs {

// The folder beside the declaration where the declarations it replaced are kept.
inline constexpr const char* kKeptFolderName = "ankstesnės";
// How many replaced declarations are kept there; the oldest go first.
inline constexpr std::size_t kKeptDeclarations = 20;

// What a declaration about to be replaced holds, as far as it could be read.
struct ReplacedDeclaration {
  std::filesystem::path file;
  bool readable = false;
  std::string cause;      // why it could not be read, when it could not
  std::string payerName;  // as the main page carries them
  std::string payerCode;
  std::string year;
  std::size_t lRows = 0;
  std::size_t uRows = 0;
  std::time_t writtenAt = 0;  // when the file was last written
};

// The declaration at `file`, or none when there is no file there.
std::optional<ReplacedDeclaration> describeReplaced(const std::filesystem::path& file);

// "Bus pakeista: UAB Y (123456789), 2023 m., L įrašų 12, U įrašų 3, įrašyta 2026-12-01 10:32".
std::string replacedText(const ReplacedDeclaration& replaced);

// "KVD507 123456789 2023 2026-12-01 10.32.05.ffdata": the name it is kept under.
std::string keptName(const ReplacedDeclaration& replaced);

// The declarations kept in `folder`, the newest first (by when each was written); none when
// there is no such folder.
std::vector<std::filesystem::path> keptDeclarations(const std::filesystem::path& folder);

// The folder the declarations replaced at `output` are kept in.
std::filesystem::path keptFolder(const std::filesystem::path& output);

// Keeps the declaration at `replaced.file` whole in keptFolder, before it is replaced: as a
// second name of the same file, so that it stays in place until the new one is renamed over
// it (a copy where the file system has no second names), and leaves only the newest
// kKeptDeclarations there. Returns where it is kept. Throws Error when it cannot be kept.
std::filesystem::path keepReplaced(const ReplacedDeclaration& replaced);

}  // namespace kvd507::runs
