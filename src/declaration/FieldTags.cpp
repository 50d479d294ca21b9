#include "declaration/FieldTags.h"

#include "errors/Error.h"
#include "rows/Text.h"

namespace kvd507::declaration {
namespace {

constexpr std::string_view kFieldStart = "<Field Name=\"";
constexpr std::string_view kNameStart = "Name=\"";

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsName(std::string_view line, std::size_t at) {
  if (at == line.size()) return true;
  const char c = line[at];
  return c == ' ' || c == '\t' || c == '>' || c == '/' || c == '=';
}

// Whether the element name at `at` (just after "<") is `name` in lower case, spelt in any case.
bool elementNamedAnyCase(std::string_view line, std::size_t at, std::string_view name) {
  if (line.size() - at < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (lower(line[at + i]) != name[i]) return false;
  }
  return endsName(line, at + name.size());
}

bool elementNamed(std::string_view line, std::size_t at, std::string_view name) {
  return line.substr(at, name.size()) == name && endsName(line, at + name.size());
}

// The names the form gives its fields: B_MM_ID and the other header fields, L1-1, U15-5 ...
bool looksLikeFieldName(std::string_view name) {
  if (name.starts_with("B_")) return true;
  return name.size() >= 2 && (name[0] == 'L' || name[0] == 'U') && name[1] >= '0' && name[1] <= '9';
}

// `text` is what the detail quotes: the start of the tag, or the field's name.
[[noreturn]] void refuse(ErrorKind kind, std::uint32_t number, std::string_view text) {
  constexpr std::size_t kQuoted = 40;
  throw Error(kind, ErrorPlace({}, {}, number), std::string(rows::firstCharacters(text, kQuoted)));
}

}  // namespace

void FieldTags::check(std::string_view line, std::uint32_t number) {
  for (std::size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at + 1)) {
    if (elementNamed(line, at + 1, "Page")) {
      ++page_;
      names_.clear();
    } else if (elementNamedAnyCase(line, at + 1, "field")) {
      if (line.substr(at, kFieldStart.size()) != kFieldStart) {
        refuse(ErrorKind::kFieldTagMisspelt, number, line.substr(at));
      }
      const std::size_t nameAt = at + kFieldStart.size();
      const std::size_t quote = line.find('"', nameAt);
      if (quote == std::string_view::npos) {
        refuse(ErrorKind::kFieldTagMisspelt, number, line.substr(at));
      }
      seen(line.substr(nameAt, quote - nameAt), number);
    }
  }
  // A field name the scanner would take that is no <Field>'s: `<Field  Name=`, `<field Name=`,
  // or the name alone.
  for (std::size_t at = line.find(kNameStart); at != std::string_view::npos;
       at = line.find(kNameStart, at + 1)) {
    const bool inFieldTag = at >= 7 && line.substr(at - 7, 7) == "<Field ";
    if (!inFieldTag && looksLikeFieldName(line.substr(at + kNameStart.size()))) {
      refuse(ErrorKind::kFieldTagMisspelt, number, line.substr(at));
    }
  }
}

void FieldTags::seen(std::string_view name, std::uint32_t number) {
  if (!names_.emplace(name).second) refuse(ErrorKind::kFieldRepeated, number, name);
}

}  // namespace kvd507::declaration
