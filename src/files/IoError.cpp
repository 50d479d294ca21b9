#include "files/IoError.h"

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

}  // namespace kvd507::files
