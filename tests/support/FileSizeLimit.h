#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace kvd507::test {

// Lowers this process's file size limit for as long as it lives, so that a write past `bytes`
// fails with EFBIG ("File too large") as on a full disk, whoever runs the test, root included.
// SIGXFSZ, which would end the process, is ignored meanwhile.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previousLimit_{};
  struct sigaction previousAction_ {};
};

}  // namespace kvd507::test
