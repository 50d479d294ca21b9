#include "files/RemovedOnSignal.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace kvd507::files {
namespace {

// A handful suffices: each writer marks one name at a time.
constexpr std::size_t kSlots = 16;

enum SlotState : int { kFree, kFilling, kMarked };

struct Slot {
  std::atomic<int> state{kFree};
  std::array<char, PATH_MAX> path{};
};

std::array<Slot, kSlots> slots;

constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// Only what may be done inside a signal handler: lock-free atomics, unlink, sigaction, raise.
extern "C" void removeTemporaryFilesAndEnd(int signal) {
  const int savedErrno = errno;
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kMarked) ::unlink(slot.path.data());
  }
  struct sigaction original {};
  original.sa_handler = SIG_DFL;
  ::sigemptyset(&original.sa_mask);
  ::sigaction(signal, &original, nullptr);
  // The signal stays blocked until the handler returns, and then ends the program with the
  // status the caller would have seen without the handler.
  ::raise(signal);
  errno = savedErrno;
}

}  // namespace

void prepareSignalsForWriting() {
  ::signal(SIGXFSZ, SIG_IGN);
  for (const int signal : kEndingSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = removeTemporaryFilesAndEnd;
    // The other ending signals wait while one is handled, so that the files are removed once.
    ::sigemptyset(&handler.sa_mask);
    for (const int other : kEndingSignals) ::sigaddset(&handler.sa_mask, other);
    ::sigaction(signal, &handler, nullptr);
  }
}

void RemovedOnSignal::mark(const std::filesystem::path& file) {
  unmark();
  const std::string& name = file.native();
  if (name.size() >= PATH_MAX) return;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
      continue;
    }
    std::memcpy(slots[i].path.data(), name.c_str(), name.size() + 1);
    slots[i].state.store(kMarked, std::memory_order_release);
    slot_ = i;
    return;
  }
}

void RemovedOnSignal::unmark() {
  if (slot_ == kNone) return;
  slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = kNone;
}

}  // namespace kvd507::files
