#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"
#include "workbook/WorkbookError.h"
#include "workbook/xlsx/InflateAhead.h"
#include "workbook/xlsx/ZipArchive.h"

namespace kvd507::workbook::xlsx {
namespace {

constexpr std::uint64_t kLimit = std::uint64_t{1} << 30;

// Several chunks and a piece, with no run long enough to hide a chunk read twice or skipped.
std::string longPart() {
  std::string text;
  for (std::size_t i = 0; text.size() < 5 * InflateAhead::kChunkBytes + 123; ++i) {
    text += "<row r=\"" + std::to_string(i) + "\"/>";
  }
  return text;
}

// Everything `entry` gives, read `step` bytes at a time.
std::string readAll(InflateAhead& entry, std::size_t step) {
  std::string out;
  std::string buffer(step, '\0');
  while (const std::size_t got = entry.read(buffer.data(), step)) out.append(buffer, 0, got);
  return out;
}

class InflateAheadTest : public testing::TestWithParam<std::size_t> {};

TEST_P(InflateAheadTest, GivesThePartAsInflatedWhateverTheReadSize) {
  test::TempDir dir;
  const std::string part = longPart();
  test::writeZip(dir / "a.zip", {{"a.xml", part}, {"b.xml", "second"}});
  ZipArchive archive(dir / "a.zip", kLimit);
  InflateAhead entry(archive.open("a.xml", kLimit));
  EXPECT_EQ(readAll(entry, GetParam()), part);
  EXPECT_EQ(entry.read(nullptr, 0), 0U);
}

INSTANTIATE_TEST_SUITE_P(ReadSizes, InflateAheadTest,
                         testing::Values(1, 7, 4096, InflateAhead::kChunkBytes,
                                         InflateAhead::kChunkBytes + 3, 1 << 20),
                         [](const testing::TestParamInfo<std::size_t>& test) {
                           return "Bytes" + std::to_string(test.param);
                         });

TEST(InflateAhead, StoppedEarlyLeavesTheArchiveToAnotherPart) {
  test::TempDir dir;
  test::writeZip(dir / "a.zip", {{"a.xml", longPart()}, {"b.xml", "second"}});
  ZipArchive archive(dir / "a.zip", kLimit);
  InflateAhead first(archive.open("a.xml", kLimit));
  char byte = 0;
  ASSERT_EQ(first.read(&byte, 1), 1U);
  first.stop();
  // The rest of the chunk in hand, then nothing.
  EXPECT_EQ(readAll(first, 4096).size(), InflateAhead::kChunkBytes - 1);

  InflateAhead second(archive.open("b.xml", kLimit));
  EXPECT_EQ(readAll(second, 4096), "second");
}

TEST(InflateAhead, RefusesAPartBeyondItsLimitAfterTheBytesBefore) {
  test::TempDir dir;
  const std::string part = longPart();
  test::writeZip(dir / "a.zip", {{"a.xml", part}});
  ZipArchive archive(dir / "a.zip", kLimit);
  InflateAhead entry(archive.open("a.xml", 3 * InflateAhead::kChunkBytes));
  std::string got;
  std::string buffer(1000, '\0');
  try {
    for (;;) {
      const std::size_t count = entry.read(buffer.data(), buffer.size());
      ASSERT_NE(count, 0U) << "read to the end past the limit";
      got.append(buffer, 0, count);
    }
  } catch (const WorkbookError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kWorkbookExpands);
  }
  EXPECT_LE(got.size(), 3 * InflateAhead::kChunkBytes);
  EXPECT_EQ(got, part.substr(0, got.size()));
}

}  // namespace
}  // namespace kvd507::workbook::xlsx
