#include "files/WriteBehind.h"

#include <optional>
#include <utility>

namespace kvd507::files {

WriteBehind::WriteBehind(AtomicFileWriter& writer) : writer_(writer) {
  current_.bytes.reserve(kPieceBytes + kPieceBytes / 8);
  thread_ = std::thread([this] { writePieces(); });
}

WriteBehind::~WriteBehind() {
  if (!thread_.joinable()) return;
  Piece stop;
  stop.last = true;
  stop.abandoned = true;
  endWriter(std::move(stop));
}

void WriteBehind::write(std::string_view bytes) {
  current_.bytes += bytes;
  if (current_.bytes.size() >= kPieceBytes) handOver();
}

void WriteBehind::writeTaking(std::string& bytes) {
  if (!current_.bytes.empty()) handOver();
  current_.bytes.swap(bytes);
  handOver();
  current_.bytes.swap(bytes);
}

void WriteBehind::finish() {
  current_.last = true;
  endWriter(std::move(current_));
  if (failure_) std::rethrow_exception(failure_);
}

void WriteBehind::handOver() {
  handoff_.deliver(std::move(current_));
  std::optional<Piece> next = handoff_.batchToFill();
  // Only the writer stops the handoff, and only after a failure.
  if (!next) {
    endWriter(Piece{});
    std::rethrow_exception(failure_);
  }
  current_ = std::move(*next);
  current_.bytes.clear();
  current_.last = false;
}

void WriteBehind::endWriter(Piece piece) {
  handoff_.deliver(std::move(piece));
  thread_.join();
}

void WriteBehind::writePieces() {
  Piece piece;
  for (;;) {
    piece = handoff_.exchange(std::move(piece));
    if (piece.abandoned) return;
    try {
      writer_.write(piece.bytes);
    } catch (...) {
      failure_ = std::current_exception();
      handoff_.stop();
      return;
    }
    if (piece.last) return;
  }
}

}  // namespace kvd507::files
