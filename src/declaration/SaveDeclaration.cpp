#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"

namespace kvd507::declaration {
namespace {

std::string causeOf(int error) {
  return std::strerror(error);
}

void ensureFolder(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) {
      throw DeclarationError(folder.string(), "cannot create the folder: " + causeOf(ENOTDIR));
    }
    return;
  }
  const int statError = errno;
  if (statError != ENOENT || ::mkdir(folder.c_str(), 0777) != 0) {
    const int error = statError != ENOENT ? statError : errno;
    throw DeclarationError(folder.string(), "cannot create the folder: " + causeOf(error));
  }
}

// The temporary file beside the target. Created with the mode any new file gets, so that the
// umask decides the permissions as it would for a file written in place.
int createTemporary(const std::filesystem::path& file, std::filesystem::path& temporary) {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "." + file.filename().string() + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    temporary = file.parent_path() / name;
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) return descriptor;
    if (errno != EEXIST) {
      throw DeclarationError(file.string(), "cannot create a temporary file: " + causeOf(errno));
    }
  }
  throw DeclarationError(file.string(), "cannot create a temporary file: " + causeOf(EEXIST));
}

// Returns 0 or the errno of the write that failed.
int writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// Writes, flushes and closes; returns 0 or the errno of the first step that failed. The
// descriptor is closed in every case.
int writeAndClose(int descriptor, std::string_view bytes) {
  int error = writeAll(descriptor, bytes);
  if (error == 0 && ::fsync(descriptor) != 0) error = errno;
  if (::close(descriptor) != 0 && error == 0) error = errno;
  return error;
}

// Best effort: makes the rename itself survive a crash. The new file is in place already, so a
// failure here is not reported as a failed save.
void syncFolder(const std::filesystem::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

void saveDeclaration(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  ensureFolder(folder);

  std::filesystem::path temporary;
  const int descriptor = createTemporary(folder / file.filename(), temporary);
  int error = writeAndClose(descriptor, bytes);
  std::string step = "cannot write";
  if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) {
    error = errno;
    step = "cannot replace";
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    throw DeclarationError(file.string(), step + " the file: " + causeOf(error));
  }
  syncFolder(folder);
}

}  // namespace kvd507::declaration
