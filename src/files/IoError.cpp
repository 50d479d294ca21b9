#include "files/IoError.h"

#include <cerrno>
#include <utility>

namespace kvd507::files {
namespace {

class FileProblemCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "kvd507.files"; }

  std::string message(int value) const override {
    switch (static_cast<FileProblem>(value)) {
      case FileProblem::kNotRegularFile:
        return "not a regular file";
      case FileProblem::kTooLarge:
        return "file too large";
      case FileProblem::kIsInput:
        return "the output is an input of the same command";
    }
    return "unknown file problem";
  }
};

}  // namespace

const std::error_category& fileProblemCategory() {
  static const FileProblemCategory category;
  return category;
}

std::error_code make_error_code(FileProblem problem) {
  return {static_cast<int>(problem), fileProblemCategory()};
}

ErrorKind kindOf(std::error_code code) {
  if (code == FileProblem::kNotRegularFile) return ErrorKind::kNotRegularFile;
  if (code == FileProblem::kTooLarge) return ErrorKind::kFileTooLarge;
  if (code == FileProblem::kIsInput) return ErrorKind::kOutputIsInput;
  if (code.category() != std::generic_category() && code.category() != std::system_category()) {
    return ErrorKind::kFileSystem;
  }
  switch (code.value()) {
    case ENOENT:
      return ErrorKind::kFileMissing;
    case EACCES:
    case EPERM:
      return ErrorKind::kNoPermission;
    case EROFS:
      return ErrorKind::kReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT:
      return ErrorKind::kDiskFull;
    case EFBIG:
      return ErrorKind::kFileTooLarge;
    case ENOTDIR:
      return ErrorKind::kNotAFolder;
    case EISDIR:
      return ErrorKind::kNotRegularFile;
    case EMFILE:
    case ENFILE:
      return ErrorKind::kTooManyOpenFiles;
    case ENOMEM:
      return ErrorKind::kOutOfMemory;
    default:
      return ErrorKind::kFileSystem;
  }
}

namespace {

// A file is written as a temporary file beside it first: refused that, the folder is what may
// not be written, whatever the file itself allows.
ErrorKind kindOfStep(const std::string& step, std::error_code code) {
  const bool denied =
      code == std::errc::permission_denied || code == std::errc::operation_not_permitted;
  if (step == "create a temporary file" && denied) return ErrorKind::kFolderNotWritable;
  return kindOf(code);
}

}  // namespace

IoError::IoError(std::string step, std::error_code code, const std::filesystem::path& file)
    : Error(kindOfStep(step, code), {file.string()}, "cannot " + step + ": " + code.message()),
      step_(std::move(step)),
      code_(code) {}

}  // namespace kvd507::files
