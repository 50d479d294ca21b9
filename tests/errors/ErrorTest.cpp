#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <set>
#include <stdexcept>
#include <system_error>

#include "errors/Error.h"
#include "files/IoError.h"

namespace kvd507 {
namespace {

TEST(Error, SaysWhereAndWhyInLithuanian) {
  struct Case {
    ErrorPlace place;
    std::string namedAlready;
    std::string cause;
  };
  const Case cases[] = {
      {{"a.xlsx", "KVD507 L", 7, 8},
       "",
       "failas \"a.xlsx\", lapas \"KVD507 L\", eilutė 7, stulpelis H"},
      {{"a.xlsx", "KVD507 L", 7, 8}, "a.xlsx", "lapas \"KVD507 L\", eilutė 7, stulpelis H"},
      {{"a.xlsx", {}, 0, 28}, "", "failas \"a.xlsx\", stulpelis AB"},
      {ErrorPlace::atOffset("b.xls", 1234), "", "failas \"b.xls\", baitas 1234"},
  };
  for (const Case& c : cases) {
    const Error error(ErrorKind::kCellErrorValue, c.place, "#N/A");
    EXPECT_EQ(error.cause(c.namedAlready), c.cause + ": langelyje yra klaidos reikšmė");
  }
  const Error nowhere(ErrorKind::kDiskFull, {}, "cannot write the file: No space left on device");
  EXPECT_EQ(nowhere.cause(), "diske nebeliko vietos");
  EXPECT_STREQ(nowhere.what(),
               "diske nebeliko vietos (cannot write the file: No space left on device)");
}

TEST(Error, SizeKindsNameTheirLimit) {
  const Error error(ErrorKind::kFileTooLarge, {"asmenys.txt"}, {}, 1 << 20);
  EXPECT_EQ(error.message(), "failas \"asmenys.txt\": failas per didelis (daugiau nei 1 MiB)");
  EXPECT_EQ(sizeText(512 * 1024), "512 KiB");
  EXPECT_EQ(sizeText(100), "100 B");
  EXPECT_EQ(sizeText(std::uint64_t{4} << 30), "4 GiB");
}

TEST(Error, EveryKindHasItsOwnText) {
  std::set<std::string> texts;
  for (int kind = 0; kind <= static_cast<int>(ErrorKind::kInternal); ++kind) {
    const std::string text = reasonText(static_cast<ErrorKind>(kind));
    EXPECT_FALSE(text.empty()) << kind;
    EXPECT_TRUE(texts.insert(text).second) << text;
  }
}

TEST(Error, PlaceIsFilledInOnTheWayUp) {
  try {
    try {
      throw Error(ErrorKind::kWorkbookDamaged, {}, "a record runs past the end");
    } catch (Error& e) {
      e.setFile("c.xls").setSheet("KVD507 U").setRow(9);
      throw;
    }
  } catch (const Error& e) {
    EXPECT_EQ(e.cause(), "failas \"c.xls\", lapas \"KVD507 U\", eilutė 9: " +
                             reasonText(ErrorKind::kWorkbookDamaged));
    EXPECT_NE(std::string(e.what()).find("a record runs past the end"), std::string::npos);
  }
}

TEST(Error, AnyExceptionBecomesOne) {
  const auto convert = [](auto thrown) {
    try {
      throw thrown;
    } catch (...) {
      return currentError();
    }
  };
  EXPECT_EQ(convert(std::bad_alloc()).kind(), ErrorKind::kOutOfMemory);
  const Error internal = convert(std::logic_error("rows out of order"));
  EXPECT_EQ(internal.kind(), ErrorKind::kInternal);
  EXPECT_EQ(internal.detail(), "rows out of order");
  EXPECT_EQ(convert(42).kind(), ErrorKind::kInternal);
  EXPECT_EQ(convert(Error(ErrorKind::kNotUtf8, {"x"})).kind(), ErrorKind::kNotUtf8);
}

TEST(IoError, TheSystemsReasonChoosesTheKind) {
  const std::pair<int, ErrorKind> cases[] = {
      {ENOENT, ErrorKind::kFileMissing}, {EACCES, ErrorKind::kNoPermission},
      {EPERM, ErrorKind::kNoPermission}, {EROFS, ErrorKind::kReadOnlyFileSystem},
      {ENOSPC, ErrorKind::kDiskFull},    {EDQUOT, ErrorKind::kDiskFull},
      {ENOTDIR, ErrorKind::kNotAFolder}, {EISDIR, ErrorKind::kNotRegularFile},
      {EFBIG, ErrorKind::kFileTooLarge}, {EIO, ErrorKind::kFileSystem},
  };
  for (const auto& [code, kind] : cases) {
    const files::IoError error("write the file", std::error_code(code, std::generic_category()),
                               "formos/KVD507.ffdata");
    EXPECT_EQ(error.kind(), kind) << code;
    EXPECT_EQ(error.file(), "formos/KVD507.ffdata");
    EXPECT_EQ(error.detail().rfind("cannot write the file: ", 0), 0u) << error.detail();
  }
  EXPECT_EQ(files::IoError("read", files::FileProblem::kNotRegularFile, "p").kind(),
            ErrorKind::kNotRegularFile);
}

}  // namespace
}  // namespace kvd507
