#include "declaration/WholeDeclaration.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "declaration/DeclarationError.h"
#include "text/TextLines.h"

namespace kvd507::declaration {
namespace {

constexpr std::string_view kPagesCount = "<Pages Count=\"";

// Whether the element name that starts at `at` (just after its "<") is `name` and not a
// longer name beginning with it: "<Field " and "<Field>" but not "<Fields ".
bool elementNamed(std::string_view text, std::size_t at, std::string_view name) {
  if (text.substr(at, name.size()) != name) return false;
  const std::size_t after = at + name.size();
  if (after == text.size()) return true;
  const char next = text[after];
  return next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '>' || next == '/';
}

// How many start tags (or empty-element tags) of `name` the text holds.
std::size_t countElements(std::string_view text, std::string_view name) {
  std::size_t count = 0;
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (elementNamed(text, at + 1, name)) ++count;
  }
  return count;
}

bool hasStartTag(std::string_view text) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (elementNamed(text, at + 1, "FFData")) return true;
  }
  return false;
}

constexpr std::string_view kEndTag = "</FFData>";

// The 1-based number of the line where `at` lies, lines ending as forEachLine ends them.
std::size_t lineNumberAt(std::string_view text, std::size_t at) {
  std::size_t number = 1;
  for (std::size_t i = 0; i < at; ++i) {
    const bool crBeforeLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if ((text[i] == '\n' || text[i] == '\r') && !crBeforeLf) ++number;
  }
  return number;
}

// The page count the file announces, when it announces one in the form the writer uses.
std::optional<std::size_t> announcedPages(std::string_view text) {
  const std::size_t at = text.find(kPagesCount);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view digits = text.substr(at + kPagesCount.size());
  std::size_t count = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
  if (error != std::errc() || end == digits.data() || end == digits.data() + digits.size() ||
      *end != '"') {
    return std::nullopt;
  }
  return count;
}

// The 1-based number of the first line holding more than one <Field> element.
std::optional<std::size_t> lineWithSeveralFields(std::string_view text) {
  std::size_t number = 0;
  std::optional<std::size_t> found;
  text::forEachLine(text, [&](std::string_view line) {
    ++number;
    if (!found && countElements(line, "Field") > 1) found = number;
  });
  return found;
}

// The 1-based number of the first line where a <Field> start tag begins but does not end: its
// name or its ">" went to the next line, where the scanner finds no key, so the field would be
// read as empty.
std::optional<std::size_t> lineWithSplitFieldTag(std::string_view text) {
  std::size_t number = 0;
  std::optional<std::size_t> found;
  text::forEachLine(text, [&](std::string_view line) {
    ++number;
    if (found) return;
    for (std::size_t at = line.find('<'); at != std::string_view::npos;
         at = line.find('<', at + 1)) {
      if (elementNamed(line, at + 1, "Field") && line.find('>', at) == std::string_view::npos) {
        found = number;
        return;
      }
    }
  });
  return found;
}

[[noreturn]] void refuse(const std::filesystem::path& file, ErrorKind kind, std::string detail = {},
                         std::uint32_t line = 0) {
  throw DeclarationError(kind, ErrorPlace(file.string(), {}, line), std::move(detail));
}

}  // namespace

void checkWholeDeclaration(const std::filesystem::path& file, std::string_view text) {
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    refuse(file, ErrorKind::kEmptyFile);
  }
  if (!hasStartTag(text)) refuse(file, ErrorKind::kNotADeclaration);
  // The first end tag ends the declaration: a file holding two (copied together) would give
  // every row twice, the second declaration's header winning.
  const std::size_t end = text.find(kEndTag);
  if (end == std::string_view::npos) {
    refuse(file, ErrorKind::kDeclarationCutShort, "nesibaigia žyme </FFData>");
  }
  const std::size_t after = text.find_first_not_of(" \t\r\n", end + kEndTag.size());
  if (after != std::string_view::npos) {
    refuse(file, ErrorKind::kTextAfterDeclaration, {},
           static_cast<std::uint32_t>(lineNumberAt(text, after)));
  }
  if (const auto announced = announcedPages(text)) {
    const std::size_t pages = countElements(text, "Page");
    if (pages < *announced) {
      refuse(file, ErrorKind::kDeclarationCutShort,
             "žymė <Pages Count=\"" + std::to_string(*announced) + "\"> nurodo puslapių skaičių " +
                 std::to_string(*announced) + ", o faile jų rasta tik " + std::to_string(pages));
    }
  }
  if (const auto line = lineWithSeveralFields(text)) {
    refuse(file, ErrorKind::kSeveralFieldsOnLine, {}, static_cast<std::uint32_t>(*line));
  }
  if (const auto line = lineWithSplitFieldTag(text)) {
    refuse(file, ErrorKind::kFieldTagSplit, {}, static_cast<std::uint32_t>(*line));
  }
}

std::optional<std::size_t> announcedPageCount(std::string_view text) {
  return announcedPages(text);
}

}  // namespace kvd507::declaration
