#include "gui/ReplacingFileDevice.h"

#include <string_view>
#include <utility>

namespace kvd507::gui {

ReplacingFileDevice::ReplacingFileDevice(std::filesystem::path file, files::InputFiles inputs)
    : file_(std::move(file)), inputs_(std::move(inputs)) {}

ReplacingFileDevice::~ReplacingFileDevice() = default;

void ReplacingFileDevice::fail() {
  if (!failure_) failure_ = currentError();
  writer_.reset();
  setErrorString(error());
}

bool ReplacingFileDevice::start() {
  try {
    writer_ = std::make_unique<files::AtomicFileWriter>(file_, files::Permissions::kKeepExisting,
                                                        inputs_);
  } catch (...) {
    fail();
    return false;
  }
  return open(QIODevice::WriteOnly);
}

bool ReplacingFileDevice::commit() {
  if (!writer_) return false;
  try {
    writer_->commit();
  } catch (...) {
    fail();
    return false;
  }
  writer_.reset();
  close();
  return true;
}

QString ReplacingFileDevice::error() const {
  return failure_ ? QString::fromStdString(oneLine(failure_->message())) : QString();
}

qint64 ReplacingFileDevice::readData(char*, qint64) {
  return -1;
}

qint64 ReplacingFileDevice::writeData(const char* data, qint64 size) {
  if (!writer_) return -1;
  try {
    writer_->write(std::string_view(data, static_cast<std::size_t>(size)));
  } catch (...) {
    // The rest is not written, and commit() reports this failure.
    fail();
    return -1;
  }
  return size;
}

}  // namespace kvd507::gui
