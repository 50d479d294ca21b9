#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/RemovedOnSignal.h"

namespace kvd507::files {

// Whole-file access for the program's own files. Failures throw IoError (files/IoError.h)
// naming the file, with the step that failed and the system's reason; callers may pass it on
// as an error type of their own.

constexpr std::size_t kNoSizeLimit = std::numeric_limits<std::size_t>::max();

// Only regular files are read (files/RegularFile.h). A file over maxBytes fails with
// FileProblem::kTooLarge and the limit, even one that grows while it is read. Steps: "open",
// "read".
std::string readWholeFile(const std::filesystem::path& file, std::size_t maxBytes = kNoSizeLimit);

// What the replacing file's permissions are.
enum class Permissions {
  kFromUmask,     // those of any new file
  kKeepExisting,  // those of the file replaced, or of any new file when there is none
};

// The files a command reads while it writes: its output may be none of them, by whatever name or
// link it is reached. Files that do not exist are no concern.
using InputFiles = std::vector<std::filesystem::path>;

// Writes a temporary file beside the target and renames it over the target, so that a failure
// half-way (disk full, say) leaves the old contents in place instead of a truncated file, and
// a crash leaves either the old or the new file. The temporary file is removed on failure; it
// has no name at all while it is written where the file system allows (O_TMPFILE), and is
// removed by the ending signals otherwise (see prepareSignalsForWriting). A target that is a
// symbolic link is written through: what it leads to is replaced, and the link stays.
// Only a regular file is replaced: a target (or what its links lead to) that exists and is a
// device, a pipe, a folder or anything else is refused (FileProblem::kNotRegularFile), and so is
// one of `inputs` (FileProblem::kIsInput); both are looked at before anything is written and
// again just before the rename.
// Steps: "create a temporary file", "write the file", "replace the file".
void replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           Permissions permissions, const InputFiles& inputs = {});

// The streaming form of replaceFileAtomically, for contents too large to hold whole: bytes are
// written to the temporary file as they come, and the target is replaced only by commit().
// Destroying the writer without a commit removes the temporary file and leaves the target as
// it was. Steps as for replaceFileAtomically.
class AtomicFileWriter {
 public:
  AtomicFileWriter(const std::filesystem::path& file, Permissions permissions,
                   const InputFiles& inputs = {});
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void write(std::string_view bytes);
  // Flushes the file to the disk and renames it over the target.
  void commit();

 private:
  void refuseTarget() const;

  std::filesystem::path file_;       // as the caller named it, for the errors
  std::filesystem::path target_;     // the file replaced: file_, or where its links lead
  std::filesystem::path temporary_;  // empty while the file being written has no name
  RemovedOnSignal marked_;
  int fd_ = -1;
  std::uint64_t written_ = 0;                    // bytes written so far
  std::uint64_t writtenBack_ = 0;                // of which the disk was asked to take the first
  std::vector<std::pair<dev_t, ino_t>> inputs_;  // the files of InputFiles that exist
};

// Whether `file` exists and must not be replaced: nobody may write to it (its mode has no write
// permission at all, as a file marked read-only has, which even root is kept from replacing
// here), or this process may not. Renaming over a file needs only the folder's permission, so
// the atomic replace alone would not keep such a file.
bool isReadOnly(const std::filesystem::path& file);

// Appends at the end, creating the file when it is missing; anything but a regular file is
// refused (FileProblem::kNotRegularFile). Steps: "open", "write the file".
void appendToFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kvd507::files
