#include "files/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "files/IoError.h"
#include "files/RegularFile.h"

namespace kvd507::files {
namespace {

[[noreturn]] void fail(const char* step, int error, const std::filesystem::path& file) {
  throw IoError(step, std::error_code(error, std::generic_category()), file);
}

// Owns an open file descriptor; a negative one stands for none.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

  // Closing can report a failed write-back, so it is checked where the data matters.
  void close(const char* step, const std::filesystem::path& file) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(step, errno, file);
  }

 private:
  int fd_;
};

void writeAll(int fd, std::string_view bytes, const std::filesystem::path& file) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("write the file", errno, file);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The name under which /proc shows an open file of this process.
std::string descriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// A hidden name beside `file` that nothing has yet: `take(name)` tries to claim it and gives 0,
// or the system's reason; EEXIST tries another name. Failures name `named`.
template <typename Take>
std::filesystem::path unusedName(const std::filesystem::path& file, const char* step,
                                 const std::filesystem::path& named, Take take) {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "." + file.filename().string() + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    std::filesystem::path temporary = file.parent_path() / name;
    const int error = take(temporary);
    if (error == 0) return temporary;
    if (error != EEXIST) fail(step, error, named);
  }
  fail(step, EEXIST, named);
}

// A hidden file beside the target, created with the mode any new file gets, so that the umask
// decides the permissions as it would for a file written in place. O_EXCL keeps it from
// taking over anything already there.
Descriptor createTemporary(const std::filesystem::path& file, std::filesystem::path& temporary) {
  int fd = -1;
  temporary =
      unusedName(file, "create a temporary file", file, [&fd](const std::filesystem::path& name) {
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return fd >= 0 ? 0 : errno;
      });
  return Descriptor(fd);
}

// A file without a name in the target's folder, with the mode a new file there gets. Until it
// is linked in, nothing of it is left behind whatever ends the program, a signal or a crash.
// None (a negative descriptor) where the file system cannot make one, or where it could not be
// linked in later for want of /proc; the caller then writes a named file.
Descriptor createUnnamed(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0 && ::access(descriptorPath(fd).c_str(), F_OK) != 0) {
    ::close(fd);
    return Descriptor(-1);
  }
  return Descriptor(fd);
}

// The file itself when it is no symbolic link; otherwise what the link leads to, through every
// link on the way. The file that replaces it goes there, so that the link stays a link. A link
// that leads nowhere leads to the file to be made.
std::filesystem::path throughLinks(const std::filesystem::path& file) {
  std::filesystem::path current = file;
  // As many links as the system itself follows before it gives up.
  for (int links = 0; links < 40; ++links) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) fail("replace the file", error.value(), file);
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  fail("replace the file", ELOOP, file);
}

// Best effort: makes the rename itself survive a crash. The new file is in place already, so a
// failure here is not reported as a failed write.
void syncFolder(const std::filesystem::path& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::string readWholeFile(const std::filesystem::path& file, std::size_t maxBytes) {
  RegularFile in(file);
  const auto tooLarge = [&] {
    IoError error("read", FileProblem::kTooLarge, file);
    error.setLimit(maxBytes);
    return error;
  };
  if (in.size() > maxBytes) throw tooLarge();

  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(in.size()));
  std::array<char, 65536> buffer;
  for (;;) {
    const std::size_t count = in.read(buffer.data(), buffer.size());
    if (count == 0) break;
    // The file may have grown since it was measured.
    if (count > maxBytes - bytes.size()) throw tooLarge();
    bytes.append(buffer.data(), count);
  }
  return bytes;
}

void replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           Permissions permissions, const InputFiles& inputs) {
  AtomicFileWriter writer(file, permissions, inputs);
  writer.write(bytes);
  writer.commit();
}

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& file, Permissions permissions,
                                   const InputFiles& inputs)
    : file_(file), target_(throughLinks(file)) {
  for (const std::filesystem::path& input : inputs) {
    struct stat status {};
    if (::stat(input.c_str(), &status) == 0) inputs_.emplace_back(status.st_dev, status.st_ino);
  }
  refuseTarget();
  const std::filesystem::path folder =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  struct stat existing {};
  const bool keepMode =
      permissions == Permissions::kKeepExisting && ::stat(target_.c_str(), &existing) == 0;
  Descriptor unnamed = createUnnamed(folder);
  Descriptor fd(unnamed.get() >= 0
                    ? unnamed.release()
                    : createTemporary(folder / target_.filename(), temporary_).release());
  if (!temporary_.empty()) marked_.mark(temporary_);
  if (keepMode && ::fchmod(fd.get(), existing.st_mode & 07777) != 0) {
    const int error = errno;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    fail("write the file", error, file);
  }
  fd_ = fd.release();
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFileWriter::write(std::string_view bytes) {
  writeAll(fd_, bytes, file_);
  written_ += bytes.size();
  // A large file is handed to the disk as it is written, so that the flush in commit() waits
  // for its last few megabytes only, not for all of it at once. Only a hint: commit() flushes
  // and reports as before.
  static constexpr std::uint64_t kWriteBackBytes = std::uint64_t{8} << 20;
  if (written_ - writtenBack_ >= kWriteBackBytes) {
    ::sync_file_range(fd_, static_cast<off_t>(writtenBack_),
                      static_cast<off_t>(written_ - writtenBack_), SYNC_FILE_RANGE_WRITE);
    writtenBack_ = written_;
  }
}

void AtomicFileWriter::commit() {
  if (::fsync(fd_) != 0) fail("write the file", errno, file_);
  if (temporary_.empty()) {
    // A file cannot be linked in over another one: it gets a name of its own first, and from
    // then on it is removed like a named one would be.
    const std::string unnamed = descriptorPath(fd_);
    temporary_ =
        unusedName(target_, "replace the file", file_, [&](const std::filesystem::path& name) {
          return ::linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                     ? 0
                     : errno;
        });
    marked_.mark(temporary_);
  }
  Descriptor fd(std::exchange(fd_, -1));
  fd.close("write the file", file_);
  refuseTarget();
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail("replace the file", errno, file_);
  temporary_.clear();
  marked_.unmark();
  syncFolder(target_.has_parent_path() ? target_.parent_path() : std::filesystem::path("."));
}

// A device or a pipe would be replaced by a regular file, and as root that could be the
// system's own /dev/null; an input would be lost to its own output.
void AtomicFileWriter::refuseTarget() const {
  struct stat status {};
  if (::lstat(target_.c_str(), &status) != 0) return;  // nothing there yet, or the rename says
  if (!S_ISREG(status.st_mode)) {
    throw IoError("replace the file", FileProblem::kNotRegularFile, file_);
  }
  for (const auto& [device, inode] : inputs_) {
    if (status.st_dev == device && status.st_ino == inode) {
      throw IoError("replace the file", FileProblem::kIsInput, file_);
    }
  }
}

bool isReadOnly(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  if ((status.st_mode & 0222) == 0) return true;
  return ::access(file.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  // Opening a pipe for writing would wait for a reader, or fail for want of one with
  // O_NONBLOCK; what is there is looked at first, so that it is refused for what it is. The
  // open file is looked at again, since the name may have changed hands in between.
  struct stat before {};
  if (::stat(file.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
    throw IoError("open", FileProblem::kNotRegularFile, file);
  }
  Descriptor fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  if (fd.get() < 0) fail("open", errno, file);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) fail("open", errno, file);
  if (!S_ISREG(status.st_mode)) throw IoError("open", FileProblem::kNotRegularFile, file);
  writeAll(fd.get(), bytes, file);
  fd.close("write the file", file);
}

}  // namespace kvd507::files
