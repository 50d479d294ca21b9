#include "export/DeclarationToWorkbook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <system_error>
#include <tuple>

#include "declaration/DeclarationReader.h"
#include "export/WorkbookCheck.h"
#include "files/IoError.h"
#include "files/RemovedOnSignal.h"
#include "files/WholeFile.h"

namespace kvd507::exports {
namespace {

namespace fs = std::filesystem;
namespace cell = rows::cell;

// A hidden file beside the workbook that libxlsxwriter writes into; removed unless it was
// given the workbook's name.
class TemporaryWorkbook {
 public:
  explicit TemporaryWorkbook(const fs::path& workbook) {
    // Created with the mode of any new file, as the umask makes it, not mkstemp's 0600: the
    // workbook keeps it.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path name = workbook.parent_path() / ("." + workbook.filename().string() + "." +
                                                      std::to_string(random() % 1000000));
      const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) {
        throw files::IoError("create a temporary file",
                             std::error_code(errno, std::generic_category()), workbook);
      }
      ::close(fd);
      path_ = name;
      marked_.mark(path_);
      return;
    }
    throw files::IoError("create a temporary file",
                         std::error_code(EEXIST, std::generic_category()), workbook);
  }
  ~TemporaryWorkbook() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryWorkbook(const TemporaryWorkbook&) = delete;
  TemporaryWorkbook& operator=(const TemporaryWorkbook&) = delete;

  const fs::path& path() const { return path_; }
  void taken() {
    marked_.unmark();
    path_.clear();
  }

 private:
  fs::path path_;
  files::RemovedOnSignal marked_;
};

[[noreturn]] void failWriting(const char* step, int error, const fs::path& workbook) {
  throw files::IoError(step, std::error_code(error, std::generic_category()), workbook);
}

// Gives the finished temporary file the workbook's name. Without a replace, a hard link takes a
// name that nothing has only: a file that appeared meanwhile is not replaced either.
void commit(TemporaryWorkbook& temporary, const fs::path& workbook, Replace replace) {
  if (replace == Replace::kNever) {
    if (::link(temporary.path().c_str(), workbook.c_str()) == 0) return;  // the temporary goes
    if (errno == EEXIST) throw Error(ErrorKind::kFileExists, ErrorPlace(workbook.string()));
    // File systems without hard links: the check and the rename are apart, but close.
    std::error_code status;
    if (fs::exists(fs::symlink_status(workbook, status))) {
      throw Error(ErrorKind::kFileExists, ErrorPlace(workbook.string()));
    }
  } else if (files::isReadOnly(workbook)) {
    throw Error(ErrorKind::kReadOnlyFile, ErrorPlace(workbook.string()));
  } else if (struct stat existing{}; ::stat(workbook.c_str(), &existing) == 0) {
    // As every output of the program: a pipe, a device or a folder is never replaced.
    if (!S_ISREG(existing.st_mode)) {
      throw files::IoError("replace the file", files::FileProblem::kNotRegularFile, workbook);
    }
    // A replaced workbook keeps who may read it.
    ::chmod(temporary.path().c_str(), existing.st_mode & 07777);
  }
  if (::rename(temporary.path().c_str(), workbook.c_str()) != 0) {
    failWriting("replace the file", errno, workbook);
  }
  temporary.taken();
}

using Key =
    std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>;

Key mergeKey(const rows::PaymentRow& row) {
  return {row[cell::kIdentifier], row[cell::kText],  row[cell::kLetter],
          row[cell::kCode],       row[cell::kNMark], row[cell::kDMark]};
}

// The sheet reader adds a row into an earlier one with the same key: such rows of a
// declaration (an extended one may hold them) would come back as one.
void refuseMergingRows(const rows::RowTable& table, const std::string& declaration,
                       const std::function<FormSlot(std::size_t)>& slotOf) {
  std::map<Key, std::size_t> seen;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto [at, added] = seen.emplace(mergeKey(table[i]), i);
    if (added) continue;
    const FormSlot first = slotOf(at->second);
    throw RowNotInTemplate(declaration, slotOf(i), fieldOfCell(cell::kText),
                           "eilutės gavėjas, pavadinimas, raidė, kodas ir žymės tokie pat kaip " +
                               std::to_string(first.page) + " puslapio " +
                               std::to_string(first.slot) +
                               " eilutės; darbaknygėje jos būtų sujungtos į vieną");
  }
}

TemplateRows rowsOf(const rows::RowTable& table, const intake::SheetLayout& layout,
                    const std::string& declaration,
                    const std::function<FormSlot(std::size_t)>& slotOf) {
  refuseMergingRows(table, declaration, slotOf);
  TemplateRows cells;
  cells.reserve(table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    cells.push_back(templateCells(table[i], layout, slotOf(i), declaration));
  }
  return cells;
}

}  // namespace

fs::path defaultWorkbookFor(const fs::path& declaration) {
  fs::path workbook = declaration;
  workbook.replace_extension(".xlsx");
  return workbook;
}

WrittenWorkbook declarationToWorkbook(const fs::path& declaration, const fs::path& workbook,
                                      Replace replace) {
  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
  declaration::readExistingDeclaration(declaration, lRows, uRows, header);

  const std::string name = declaration.string();
  const std::size_t lCount = lRows.size();
  auto lSlotOf = [](std::size_t i) { return lSlot(i); };
  auto uSlotOf = [lCount](std::size_t i) { return uSlot(i, lCount); };
  const TemplateRows lCells = rowsOf(lRows, intake::kLSheet, name, lSlotOf);
  const TemplateRows uCells = rowsOf(uRows, intake::kUSheet, name, uSlotOf);

  std::error_code same;
  if (fs::equivalent(declaration, workbook, same)) {
    // Not even when asked to replace: the declaration would be lost for its own workbook.
    throw Error(ErrorKind::kFileExists, ErrorPlace(workbook.string()),
                "the workbook would replace the declaration it is made from");
  }
  if (replace == Replace::kNever) {
    // Told before the work, not after; commit() looks again.
    std::error_code status;
    if (fs::exists(fs::symlink_status(workbook, status))) {
      throw Error(ErrorKind::kFileExists, ErrorPlace(workbook.string()));
    }
  }

  WrittenWorkbook written{
      workbook,
      {header.id, unescapedName(header.name), header.year, declaration.filename().string()},
      lRows.size(),
      uRows.size()};
  TemporaryWorkbook temporary(workbook);
  try {
    writeTemplateWorkbook(temporary.path(), written.origin, lCells, uCells);
  } catch (Error& e) {
    e.setFile(workbook.string());
    throw;
  }
  checkReadsBack(temporary.path(), lRows, uRows, name);
  commit(temporary, workbook, replace);
  return written;
}

}  // namespace kvd507::exports
