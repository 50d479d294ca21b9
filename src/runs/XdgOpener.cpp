#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "runs/DesktopOpener.h"
#include "text/Hex.h"

extern char** environ;

namespace kvd507::runs {
namespace {

// xdg-open answers "no handler" at once; on many desktops it then runs the handler in the
// foreground and returns only when the user closes it. So its answer is awaited this long, and
// an xdg-open still running after it is taken as a handler that has the file.
constexpr auto kAnswerWait = std::chrono::milliseconds(800);
constexpr auto kPollStep = std::chrono::milliseconds(20);

// Collects the exit status of a child left running, so that it does not stay a zombie.
void reapLater(pid_t child) {
  std::thread([child] {
    int status = 0;
    ::waitpid(child, &status, 0);
  }).detach();
}

// Starts xdg-open in a session of its own, so that the opened program outlives this one and its
// terminal. 0 when it cannot be started.
pid_t startXdgOpen(const std::filesystem::path& path) {
  std::string program = "xdg-open";
  std::string argument = path.string();
  std::array<char*, 3> argv{program.data(), argument.data(), nullptr};
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return spawned == 0 ? child : 0;
}

// A file: URI for the file manager: every byte but the unreserved ones and "/" percent-encoded.
std::string fileUri(const std::filesystem::path& file) {
  std::string uri = "file://";
  for (const char c : file.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      uri += c;
    } else {
      text::appendPercentEscape(uri, byte);
    }
  }
  return uri;
}

// Runs `argv` and waits for it; true when it ended with status 0.
bool runAndWait(std::vector<std::string> argv) {
  std::vector<char*> words;
  words.reserve(argv.size() + 1);
  for (std::string& word : argv) words.push_back(word.data());
  words.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, words[0], nullptr, nullptr, words.data(), environ) != 0) return false;
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void XdgOpener::showInFolder(const std::filesystem::path& file) {
  // The answer may take a moment; the window does not wait for it.
  std::thread([file] {
    const bool shown = runAndWait(
        {"dbus-send", "--session", "--print-reply", "--reply-timeout=2000",
         "--dest=org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
         "org.freedesktop.FileManager1.ShowItems", "array:string:" + fileUri(file), "string:"});
    if (!shown) {
      if (const pid_t child = startXdgOpen(file.parent_path() / "")) reapLater(child);
    }
  }).detach();
}

void XdgOpener::launch(const std::filesystem::path& path) {
  if (const pid_t child = startXdgOpen(path)) reapLater(child);
}

bool XdgOpener::open(const std::filesystem::path& path) {
  const pid_t child = startXdgOpen(path);
  if (child == 0) return false;

  const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0) return false;
    std::this_thread::sleep_for(kPollStep);
  }
  reapLater(child);
  return true;
}

}  // namespace kvd507::runs
