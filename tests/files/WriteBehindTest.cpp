#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "files/IoError.h"
#include "files/WholeFile.h"
#include "files/WriteBehind.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace kvd507::files {
namespace {

namespace fs = std::filesystem;

// Pieces from one byte to a few hundred kilobytes, each ending in its number, so that a piece
// lost, doubled or out of order shows.
std::vector<std::string> piecesOf(std::size_t total) {
  std::vector<std::string> pieces;
  std::size_t size = 0;
  for (std::size_t n = 0; size < total; ++n) {
    std::string piece((n * 7919) % (300 * 1024) + 1, static_cast<char>('a' + n % 26));
    piece += std::to_string(n);
    size += piece.size();
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

// Copied or handed over, in turns, every byte is written once and in order.
TEST(WriteBehind, WritesEveryByteInOrder) {
  test::TempDir folder;
  const fs::path file = folder / "out.ffdata";
  std::string expected;
  {
    AtomicFileWriter writer(file, Permissions::kFromUmask);
    WriteBehind behind(writer);
    const std::vector<std::string> pieces = piecesOf(std::size_t{9} << 20);
    for (std::size_t n = 0; n < pieces.size(); ++n) {
      expected += pieces[n];
      if (n % 2 == 0) {
        behind.write(pieces[n]);
        continue;
      }
      std::string taken = pieces[n];
      behind.writeTaking(taken);
      EXPECT_TRUE(taken.empty());
    }
    behind.finish();
    writer.commit();
  }
  EXPECT_TRUE(test::readFile(file) == expected);
}

// The writer's thread meets the failure; the one writing learns of it at a later write or at
// the end, and the previous file stays.
TEST(WriteBehind, AFailedWriteIsThrownAndThePreviousFileStays) {
  struct Case {
    const char* what;
    rlim_t limit;
  };
  const Case cases[] = {
      {"in the first megabyte", 4096},
      {"in the last megabyte", (std::size_t{9} << 20) - 1000},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    const fs::path file = folder / "out.ffdata";
    test::writeFile(file, "previous");
    std::string step;
    int code = 0;
    {
      const test::FileSizeLimit limit(c.limit);
      try {
        AtomicFileWriter writer(file, Permissions::kFromUmask);
        WriteBehind behind(writer);
        for (const std::string& piece : piecesOf(std::size_t{9} << 20)) behind.write(piece);
        behind.finish();
        writer.commit();
      } catch (const IoError& error) {
        step = error.step();
        code = error.code().value();
      }
    }
    EXPECT_EQ(step, "write the file") << c.what;
    EXPECT_EQ(code, EFBIG) << c.what;
    EXPECT_EQ(test::readFile(file), "previous") << c.what;
    EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"out.ffdata"}) << c.what;
  }
}

// Whoever stops writing half way leaves the file as it was, with no temporary file beside it.
TEST(WriteBehind, LeftUnfinishedItWritesNoMore) {
  test::TempDir folder;
  const fs::path file = folder / "out.ffdata";
  test::writeFile(file, "previous");
  {
    AtomicFileWriter writer(file, Permissions::kFromUmask);
    WriteBehind behind(writer);
    for (const std::string& piece : piecesOf(std::size_t{3} << 20)) behind.write(piece);
  }
  EXPECT_EQ(test::readFile(file), "previous");
  EXPECT_EQ(test::namesIn(folder.path()), std::vector<std::string>{"out.ffdata"});
}

}  // namespace
}  // namespace kvd507::files
