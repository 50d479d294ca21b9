#include "runs/KeptDeclarations.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>
#include <vector>

#include "declaration/DeclarationHeader.h"
#include "declaration/DeclarationReader.h"
#include "errors/Error.h"
#include "files/Folder.h"
#include "files/IoError.h"
#include "rows/RowTable.h"
#include "rows/Text.h"
#include "text/XmlReferences.h"

namespace kvd507::runs {
namespace {

namespace fs = std::filesystem;

std::string localTime(std::time_t time, const char* format) {
  std::tm local{};
  localtime_r(&time, &local);
  std::array<char, 32> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), format, &local);
  return {text.data(), length};
}

// A value read from the file, fit for a file name: no folder separators or control characters,
// and not so long that the name would be refused.
std::string namePart(std::string_view value, std::string_view none) {
  std::string part(rows::trim(value));
  if (part.empty()) part = none;
  for (char& c : part) {
    if (c == '/' || static_cast<unsigned char>(c) < 32) c = '_';
  }
  if (part.size() > 40) part.resize(40);
  return part;
}

// A header field the file did not hold still carries its marker; nothing is known then.
std::string known(const std::string& value, std::string_view marker) {
  return value == marker ? std::string() : text::decodeXmlText(rows::trim(value));
}

struct KeptFile {
  fs::path path;
  std::time_t writtenAt = 0;
};

std::vector<KeptFile> keptFiles(const fs::path& folder) {
  std::vector<KeptFile> files;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("KVD507 ") || !name.ends_with(".ffdata")) continue;
    struct stat status {};
    if (lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
    files.push_back({entry.path(), status.st_mtime});
  }
  return files;
}

// Leaves the newest kKeptDeclarations; the one just kept is never removed.
void removeOldest(const fs::path& folder, const fs::path& justKept) {
  const std::vector<fs::path> files = keptDeclarations(folder);
  if (files.size() <= kKeptDeclarations) return;
  // The one just kept counts first, wherever its time puts it.
  std::size_t left = 1;
  for (const fs::path& file : files) {
    if (file == justKept) continue;
    if (left < kKeptDeclarations) {
      ++left;
      continue;
    }
    std::error_code ignored;
    fs::remove(file, ignored);
  }
}

// A name not taken yet: two runs within one second keep both.
fs::path freeName(const fs::path& folder, const std::string& name) {
  fs::path path = folder / (name + ".ffdata");
  std::error_code error;
  for (int n = 2; fs::exists(fs::symlink_status(path, error)); ++n) {
    path = folder / (name + " (" + std::to_string(n) + ").ffdata");
  }
  return path;
}

}  // namespace

std::vector<fs::path> keptDeclarations(const fs::path& folder) {
  std::vector<KeptFile> files = keptFiles(folder);
  std::sort(files.begin(), files.end(), [](const KeptFile& a, const KeptFile& b) {
    return a.writtenAt != b.writtenAt ? a.writtenAt > b.writtenAt : a.path > b.path;
  });
  std::vector<fs::path> paths;
  paths.reserve(files.size());
  for (KeptFile& file : files) paths.push_back(std::move(file.path));
  return paths;
}

std::optional<ReplacedDeclaration> describeReplaced(const fs::path& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) return std::nullopt;
  ReplacedDeclaration replaced;
  replaced.file = file;
  replaced.writtenAt = status.st_mtime;
  try {
    rows::RowTable lRows;
    rows::RowTable uRows;
    declaration::DeclarationHeader header;
    declaration::readExistingDeclaration(file, lRows, uRows, header);
    replaced.readable = true;
    replaced.payerCode = known(header.id, declaration::DeclarationHeader::kNoId);
    replaced.payerName = known(header.name, declaration::DeclarationHeader::kNoName);
    replaced.year = known(header.year, declaration::DeclarationHeader::kNoYear);
    replaced.lRows = lRows.size();
    replaced.uRows = uRows.size();
  } catch (...) {
    replaced.cause = currentError().cause(file.string());
  }
  return replaced;
}

std::string replacedText(const ReplacedDeclaration& replaced) {
  const std::string when = ", įrašyta " + localTime(replaced.writtenAt, "%Y-%m-%d %H:%M");
  if (!replaced.readable) {
    return "Bus pakeista: " + replaced.file.filename().string() +
           " (neperskaityta: " + replaced.cause + ")" + when;
  }
  std::string payer =
      replaced.payerName.empty() ? std::string("be pavadinimo") : replaced.payerName;
  payer += " (" + (replaced.payerCode.empty() ? std::string("be kodo") : replaced.payerCode) + ")";
  const std::string year =
      replaced.year.empty() ? std::string("metai nenurodyti") : replaced.year + " m.";
  return "Bus pakeista: " + payer + ", " + year + ", L įrašų " + std::to_string(replaced.lRows) +
         ", U įrašų " + std::to_string(replaced.uRows) + when;
}

std::string keptName(const ReplacedDeclaration& replaced) {
  return "KVD507 " + namePart(replaced.payerCode, "be-kodo") + " " +
         namePart(replaced.year, "be-metų") + " " +
         localTime(replaced.writtenAt, "%Y-%m-%d %H.%M.%S");
}

fs::path keptFolder(const fs::path& output) {
  return output.parent_path() / kKeptFolderName;
}

fs::path keepReplaced(const ReplacedDeclaration& replaced) {
  const fs::path folder = keptFolder(replaced.file);
  files::createFolderIfMissing(folder);
  fs::path kept = freeName(folder, keptName(replaced));
  std::error_code error;
  // Where the declaration's name leads, so that a link is not kept in place of the file.
  fs::path source = fs::canonical(replaced.file, error);
  if (error) source = replaced.file;
  fs::create_hard_link(source, kept, error);
  if (error) {
    error.clear();
    fs::copy_file(source, kept, fs::copy_options::none, error);
    if (error) throw files::IoError("copy the file", error, kept);
    // Kept files are told apart, and the oldest removed, by when they were written.
    fs::last_write_time(kept, fs::last_write_time(source, error), error);
  }
  removeOldest(folder, kept);
  return kept;
}

}  // namespace kvd507::runs
