// Reads arbitrary bytes as an existing declaration, writes what was read and checks that the
// result is well-formed XML that reads back without error. Written once more, the declaration is
// settled: extending it again with nothing new writes the same bytes. (The first rewrite may
// change it: the payer code and year come from the last footer, amounts get decimal commas.)
// Seeds: fuzz/corpus/declaration_reader.
#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "ScratchFile.h"
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
};

bool isWellFormed(std::string_view document) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  const bool ok = XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) !=
                  XML_STATUS_ERROR;
  XML_ParserFree(parser);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const kvd507::fuzz::ScratchFile inputFile(".ffdata");
  static const kvd507::fuzz::ScratchFile outputFile(".out.ffdata");
  const std::filesystem::path& input = inputFile.path();
  const std::filesystem::path& output = outputFile.path();
  inputFile.write(std::string_view(reinterpret_cast<const char*>(data), size));

  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
  try {
    declaration::readExistingDeclaration(input, lRows, uRows, header);
  } catch (const declaration::DeclarationError&) {
    if (!lRows.empty() || !uRows.empty() || header.isExtended()) std::abort();
    return 0;
  }

  QuietHost host;
  // A declaration without a payer name is written as a new one would be.
  if (!header.isExtended()) {
    header = declaration::newDeclarationHeader("123456789", "uab \"x\" & <y>", "2023");
  }
  const std::string written = declaration::buildDeclaration(lRows, uRows, header, host);
  if (!isWellFormed(written)) std::abort();

  outputFile.write(written);
  rows::RowTable lAgain;
  rows::RowTable uAgain;
  declaration::DeclarationHeader headerAgain;
  declaration::readExistingDeclaration(output, lAgain, uAgain, headerAgain);
  const std::string settled = declaration::buildDeclaration(lAgain, uAgain, headerAgain, host);

  outputFile.write(settled);
  rows::RowTable lThird;
  rows::RowTable uThird;
  declaration::DeclarationHeader headerThird;
  declaration::readExistingDeclaration(output, lThird, uThird, headerThird);
  if (declaration::buildDeclaration(lThird, uThird, headerThird, host) != settled) std::abort();
  return 0;
}
