// Reads arbitrary bytes as an existing declaration, writes what was read and checks that the
// result is well-formed XML that reads back without error.
#include <expat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "declaration/DeclarationError.h"
#include "declaration/DeclarationReader.h"
#include "declaration/DeclarationWriter.h"

namespace declaration = kvd507::declaration;
namespace rows = kvd507::rows;

namespace {

class QuietHost : public declaration::WriterHost {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
  void setProgressMaximum(int) override {}
  void stepProgress() override {}
  std::string payerCode() override { return "123456789"; }
  std::string payerName() override { return "uab \"x\" & <y>"; }
  std::string year() override { return "2023"; }
};

// A file of its own in the temporary folder, removed when the fuzzer exits.
class ScratchFile {
 public:
  explicit ScratchFile(std::string_view suffix) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvd507-fuzz-XXXXXX").string() +
                          std::string(suffix);
    const int descriptor = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (descriptor < 0) std::abort();
    ::close(descriptor);
    path_ = pattern;
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

bool isWellFormed(std::string_view document) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  const bool ok = XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) !=
                  XML_STATUS_ERROR;
  XML_ParserFree(parser);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile inputFile(".ffdata");
  static const ScratchFile outputFile(".out.ffdata");
  const std::filesystem::path& input = inputFile.path();
  const std::filesystem::path& output = outputFile.path();
  writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
  try {
    declaration::ReadExistingDeclaration(input, lRows, uRows, header);
  } catch (const declaration::DeclarationError&) {
    if (!lRows.empty() || !uRows.empty() || header.isExtended()) std::abort();
    return 0;
  }

  QuietHost host;
  const std::string written = declaration::buildDeclaration(lRows, uRows, header, host);
  if (!isWellFormed(written)) std::abort();

  writeBytes(output, written);
  rows::RowTable lAgain;
  rows::RowTable uAgain;
  declaration::DeclarationHeader headerAgain;
  declaration::ReadExistingDeclaration(output, lAgain, uAgain, headerAgain);
  return 0;
}
