#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "files/Folder.h"
#include "files/IoError.h"
#include "files/RegularFile.h"
#include "files/WholeFile.h"
#include "support/TempDir.h"

namespace kvd507::files {
namespace {

namespace fs = std::filesystem;

// The step and reason of the IoError that `action` throws; fails the test when it throws none.
template <typename Action>
std::pair<std::string, std::error_code> failureOf(Action action) {
  try {
    action();
  } catch (const IoError& error) {
    return {error.step(), error.code()};
  }
  ADD_FAILURE() << "no error";
  return {};
}

TEST(ReadWholeFile, ReadsUpToTheLimitAndRefusesMore) {
  test::TempDir folder;
  const fs::path file = folder / "ten";
  test::writeFile(file, std::string("0123456789\0", 10));

  EXPECT_EQ(readWholeFile(file), "0123456789");
  EXPECT_EQ(readWholeFile(file, 10), "0123456789");
  EXPECT_EQ(failureOf([&] { readWholeFile(file, 9); }),
            std::make_pair(std::string("read"), make_error_code(FileProblem::kTooLarge)));
  test::writeFile(file, "");
  EXPECT_EQ(readWholeFile(file, 0), "");
}

// The first bytes of a file: as many as asked for, or the whole of a shorter file.
TEST(RegularFile, ReadUpToFillsTheBufferOrStopsAtTheEnd) {
  test::TempDir folder;
  const fs::path file = folder / "ten";
  test::writeFile(file, "0123456789");
  for (const auto& [asked, expected] : {std::pair<std::size_t, std::string>{4, "0123"},
                                        {10, "0123456789"},
                                        {16, "0123456789"},
                                        {0, ""}}) {
    RegularFile in(file);
    std::string buffer(asked, '-');
    buffer.resize(in.readUpTo(buffer.data(), buffer.size()));
    EXPECT_EQ(buffer, expected) << asked;
  }
}

TEST(ReadWholeFile, RefusesWhatIsNoRegularFile) {
  test::TempDir folder;
  const fs::path pipe = folder / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

  struct Case {
    const char* what;
    fs::path file;
    std::string step;
    std::error_code code;
  };
  const Case cases[] = {
      {"missing", folder / "missing", "open",
       std::make_error_code(std::errc::no_such_file_or_directory)},
      {"folder", folder.path(), "read", make_error_code(FileProblem::kNotRegularFile)},
      // With no writer, a pipe must not leave the read waiting.
      {"pipe", pipe, "read", make_error_code(FileProblem::kNotRegularFile)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(failureOf([&] { readWholeFile(c.file); }), std::make_pair(c.step, c.code)) << c.what;
  }
  // Appending neither waits for a reader of the pipe nor writes into a folder.
  for (const fs::path& file : {pipe, folder.path()}) {
    EXPECT_EQ(failureOf([&] { appendToFile(file, "x"); }),
              std::make_pair(std::string("open"), make_error_code(FileProblem::kNotRegularFile)))
        << file;
  }
}

TEST(ReplaceFileAtomically, GivesTheModeAskedFor) {
  struct Case {
    const char* what;
    Permissions permissions;
    bool existing;  // the file is there before, with mode 0604
    mode_t mode;
  };
  const Case cases[] = {
      {"umask over an existing file", Permissions::kFromUmask, true, 0640},
      {"kept from the existing file", Permissions::kKeepExisting, true, 0604},
      {"nothing to keep", Permissions::kKeepExisting, false, 0640},
  };
  const mode_t previous = ::umask(027);
  for (const Case& c : cases) {
    test::TempDir folder;
    const fs::path file = folder / "list.txt";
    if (c.existing) {
      test::writeFile(file, "old");
      ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
    }
    replaceFileAtomically(file, "new", c.permissions);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, c.mode) << c.what;
    EXPECT_EQ(test::readFile(file), "new") << c.what;
  }
  ::umask(previous);
}

// A file of many megabytes goes to the disk in pieces while it is written; what is read back
// is every byte, in order, whatever the pieces.
TEST(AtomicFileWriter, WritesALargeFileWhole) {
  test::TempDir folder;
  const fs::path file = folder / "large.ffdata";
  test::writeFile(file, "old");
  std::string expected;
  {
    AtomicFileWriter writer(file, Permissions::kFromUmask);
    for (int piece = 0; piece < 300; ++piece) {
      std::string bytes(std::size_t{64} * 1024 + static_cast<std::size_t>(piece), 'a');
      bytes += std::to_string(piece);
      writer.write(bytes);
      expected += bytes;
    }
    writer.commit();
  }
  EXPECT_GT(expected.size(), std::size_t{16} << 20);
  EXPECT_TRUE(test::readFile(file) == expected);
}

// Tests run as root, so permissions cannot make a folder unwritable; a regular file where the
// folder should be, or a folder where the file should be, fails for anyone.
TEST(ReplaceFileAtomically, AFailureNamesTheStepAndLeavesEverythingAsItWas) {
  struct Case {
    const char* what;
    std::string target;
    std::string step;
    std::errc code;
  };
  const Case cases[] = {
      {"folder is a file", "plain/list.txt", "create a temporary file", std::errc::not_a_directory},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    test::writeFile(folder / "plain", "previous");
    fs::create_directories(folder / "folder" / "inside");

    EXPECT_EQ(failureOf([&] {
                replaceFileAtomically(folder / c.target, "new", Permissions::kKeepExisting);
              }),
              std::make_pair(c.step, std::make_error_code(c.code)))
        << c.what;
    EXPECT_EQ(test::namesIn(folder.path()), (std::vector<std::string>{"folder", "plain"}))
        << c.what;
    EXPECT_EQ(test::readFile(folder / "plain"), "previous") << c.what;
    EXPECT_EQ(test::namesIn(folder / "folder"), std::vector<std::string>{"inside"}) << c.what;
  }
}

// A folder that may not be written is told as such, not as the file's own permission: the file
// may not even exist. (As root no folder refuses, so the kinds are checked from the codes.)
TEST(IoError, ATemporaryFileRefusedIsAFolderThatMayNotBeWritten) {
  struct Case {
    const char* step;
    std::errc code;
    ErrorKind kind;
  };
  const Case cases[] = {
      {"create a temporary file", std::errc::permission_denied, ErrorKind::kFolderNotWritable},
      {"create a temporary file", std::errc::operation_not_permitted,
       ErrorKind::kFolderNotWritable},
      {"create a temporary file", std::errc::no_space_on_device, ErrorKind::kDiskFull},
      {"open", std::errc::permission_denied, ErrorKind::kNoPermission},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IoError(c.step, std::make_error_code(c.code), "f").kind(), c.kind) << c.step;
  }
}

// Only a regular file is replaced, and never one the same command reads: a folder, a pipe, a
// device, or such a thing or an input reached through a link or by another name, is refused
// before anything is written, and stays as it was.
TEST(ReplaceFileAtomically, OnlyARegularFileThatIsNoInputIsReplaced) {
  test::TempDir folder;
  test::writeFile(folder / "input.ffdata", "declaration");
  fs::create_directories(folder / "folder" / "inside");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  fs::create_symlink("pipe", folder / "link to pipe");
  fs::create_symlink("input.ffdata", folder / "link to input");
  fs::create_hard_link(folder / "input.ffdata", folder / "other name");
  // A device like /dev/null (1, 3), made here where the system allows it; never the system's.
  const bool device = ::mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

  const InputFiles inputs{folder / "input.ffdata"};
  const std::error_code notRegular = make_error_code(FileProblem::kNotRegularFile);
  const std::error_code isInput = make_error_code(FileProblem::kIsInput);
  struct Case {
    std::string target;
    std::error_code code;
  };
  std::vector<Case> cases = {
      {"folder", notRegular},    {"pipe", notRegular},       {"link to pipe", notRegular},
      {"input.ffdata", isInput}, {"link to input", isInput}, {"other name", isInput},
  };
  if (device) cases.push_back({"null", notRegular});
  for (const Case& c : cases) {
    for (const bool streamed : {false, true}) {
      EXPECT_EQ(failureOf([&] {
                  if (streamed) {
                    AtomicFileWriter writer(folder / c.target, Permissions::kFromUmask, inputs);
                  } else {
                    replaceFileAtomically(folder / c.target, "new", Permissions::kFromUmask,
                                          inputs);
                  }
                }),
                std::make_pair(std::string("replace the file"), c.code))
          << c.target;
    }
  }
  // A target that becomes an input between the start and the rename is refused as well.
  {
    AtomicFileWriter writer(folder / "late", Permissions::kFromUmask, inputs);
    writer.write("new");
    fs::remove(folder / "other name");
    fs::create_hard_link(folder / "input.ffdata", folder / "late");
    EXPECT_EQ(failureOf([&] { writer.commit(); }),
              std::make_pair(std::string("replace the file"), isInput));
  }
  EXPECT_EQ(test::readFile(folder / "input.ffdata"), "declaration");
  EXPECT_TRUE(fs::is_fifo(folder / "pipe"));
  EXPECT_TRUE(fs::is_symlink(folder / "link to pipe"));
  EXPECT_EQ(test::namesIn(folder / "folder"), std::vector<std::string>{"inside"});
  if (device) {
    EXPECT_TRUE(fs::is_character_file(folder / "null"));
  }
  std::vector<std::string> names = {"folder",        "input.ffdata", "late",
                                    "link to input", "link to pipe", "pipe"};
  if (device) names.insert(names.begin() + 5, "null");
  EXPECT_EQ(test::namesIn(folder.path()), names);
  // Any other file is replaced, inputs or not.
  replaceFileAtomically(folder / "new.ffdata", "new", Permissions::kFromUmask, inputs);
  EXPECT_EQ(test::readFile(folder / "new.ffdata"), "new");
}

// A link is written through: the file it leads to is replaced, through every link on the way,
// or made when it is missing; the links stay links and nothing else is left beside them.
TEST(ReplaceFileAtomically, WritesThroughSymbolicLinks) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // name, what it leads to
    std::string target;
  };
  const Case cases[] = {
      {"relative link into a folder", {{"list.txt", "real/list.txt"}}, "real/list.txt"},
      {"link to a link", {{"list.txt", "step"}, {"step", "real/list.txt"}}, "real/list.txt"},
      {"link to nothing yet", {{"list.txt", "real/new.txt"}}, "real/new.txt"},
  };
  for (const Case& c : cases) {
    test::TempDir folder;
    fs::create_directory(folder / "real");
    test::writeFile(folder / "real" / "list.txt", "old");
    for (const auto& [name, target] : c.links) fs::create_symlink(target, folder / name);

    replaceFileAtomically(folder / "list.txt", "new", Permissions::kKeepExisting);
    EXPECT_EQ(test::readFile(folder / c.target), "new") << c.what;
    for (const auto& [name, target] : c.links) {
      EXPECT_EQ(fs::read_symlink(folder / name), target) << c.what;
    }
    const std::vector<std::string> real = c.target == "real/list.txt"
                                              ? std::vector<std::string>{"list.txt"}
                                              : std::vector<std::string>{"list.txt", "new.txt"};
    EXPECT_EQ(test::namesIn(folder / "real"), real) << c.what;
  }
  test::TempDir folder;
  fs::create_symlink("loop", folder / "loop");
  EXPECT_EQ(
      failureOf([&] { replaceFileAtomically(folder / "loop", "x", Permissions::kFromUmask); }),
      std::make_pair(std::string("replace the file"),
                     std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

TEST(CreateFolderIfMissing, CreatesOneLevelKeepsAFolderAndRefusesAFile) {
  test::TempDir dir;
  createFolderIfMissing(dir / "formos");
  EXPECT_TRUE(fs::is_directory(dir / "formos"));
  test::writeFile(dir / "formos" / "kept", "x");
  createFolderIfMissing(dir / "formos");  // already there: left as it is
  EXPECT_EQ(test::readFile(dir / "formos" / "kept"), "x");

  test::writeFile(dir / "file", "x");
  EXPECT_EQ(failureOf([&] { createFolderIfMissing(dir / "file"); }),
            std::make_pair(std::string("create the folder"),
                           std::make_error_code(std::errc::not_a_directory)));
  EXPECT_EQ(failureOf([&] { createFolderIfMissing(dir / "no" / "such"); }).second,
            std::make_error_code(std::errc::no_such_file_or_directory));
}

}  // namespace
}  // namespace kvd507::files
