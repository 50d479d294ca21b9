#pragma once

#include <QIODevice>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>

#include "errors/Error.h"
#include "files/WholeFile.h"

namespace kvd507::gui {

// A device that Qt writers (the PDF writer) write a file through, replacing it only once it is
// whole, with the same rules as every other file the program writes (files/WholeFile.h): only a
// regular file is replaced, never one the command reads, and a failure leaves the old file and
// says why in Lithuanian. Qt's own file classes would replace a device or a pipe and give their
// reasons in English.
class ReplacingFileDevice : public QIODevice {
 public:
  ReplacingFileDevice(std::filesystem::path file, files::InputFiles inputs);
  ~ReplacingFileDevice() override;

  // Opens for writing; false, with the failure in error(), when the file cannot be replaced.
  bool start();
  // Puts the file in place; false, with the failure in error(), when that or any earlier write
  // failed. The old file then stays as it was.
  bool commit();
  // What failed, in Lithuanian, naming the file: empty until something did.
  QString error() const;

  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  void fail();

  std::filesystem::path file_;
  files::InputFiles inputs_;
  std::unique_ptr<files::AtomicFileWriter> writer_;
  std::optional<Error> failure_;
};

}  // namespace kvd507::gui
