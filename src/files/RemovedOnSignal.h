#pragma once

#include <cstddef>
#include <filesystem>

namespace kvd507::files {

// For a program's main, before it writes anything. A file size limit makes a write fail with
// EFBIG, reported like any failed write, instead of killing the program with SIGXFSZ. SIGINT,
// SIGTERM and SIGHUP first remove the temporary files being written (RemovedOnSignal), then end
// the program as they would have; a signal the program was started with ignored stays ignored.
void prepareSignalsForWriting();

// Marks a temporary file's name for removal should the program be ended by one of the signals
// above, while it lives. The name is kept in a fixed place that the signal handler can read
// without allocating; a name too long for it, or one beyond the few that can be marked at once,
// is not marked.
class RemovedOnSignal {
 public:
  RemovedOnSignal() = default;
  explicit RemovedOnSignal(const std::filesystem::path& file) { mark(file); }
  ~RemovedOnSignal() { unmark(); }
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

  // Marks `file` instead of the name marked before, if any.
  void mark(const std::filesystem::path& file);
  // Once the file has been renamed or removed.
  void unmark();

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t slot_ = kNone;
};

}  // namespace kvd507::files
