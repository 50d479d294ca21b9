#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <thread>

#include "files/WholeFile.h"
#include "threads/Handoff.h"

namespace kvd507::files {

// Writes into an AtomicFileWriter from a thread of its own. Taking a large file's bytes costs
// the system about as much as making them (copying them into the page cache, allocating their
// blocks, starting their way to the disk); on that thread it overlaps with making the next ones.
// At most a few megabytes wait at a time.
class WriteBehind {
 public:
  explicit WriteBehind(AtomicFileWriter& writer);
  // Without finish(), drops what is not written yet and leaves the file to its writer.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Throws the failure of an earlier write, if there was one. Neither this nor writeTaking may
  // follow finish() or a failure thrown.
  void write(std::string_view bytes);
  // write(), handing over the storage of `bytes` instead of copying it; leaves `bytes` empty,
  // with storage that an earlier piece had.
  void writeTaking(std::string& bytes);
  // Returns once everything is written; throws the failure of any write.
  void finish();

 private:
  struct Piece {
    std::string bytes;
    bool last = false;       // the writer ends after it
    bool abandoned = false;  // the writer ends without writing it
  };

  static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
  static constexpr std::size_t kPiecesAhead = 4;

  void handOver();
  void writePieces();
  void endWriter(Piece piece);

  AtomicFileWriter& writer_;
  threads::Handoff<Piece> handoff_{kPiecesAhead};
  Piece current_;
  std::exception_ptr failure_;  // set by the writer before it stops the handoff
  std::thread thread_;
};

}  // namespace kvd507::files
