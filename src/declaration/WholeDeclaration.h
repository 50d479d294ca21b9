#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kvd507::declaration {

// Refuses text that the line scanner would read only in part, so that extending it never
// writes a declaration that silently lost rows: no <FFData> start tag (an empty file, or no
// declaration at all), no </FFData> (cut short), anything but blanks after the first </FFData> (a
// second declaration copied after the first would give every row twice), fewer <Page> elements than
// <Pages Count="N"> announces, a line holding more than one <Field> element (only the first
// field of a line is read), or a <Field> start tag split over lines (its field would read as
// empty). Declarations with unescaped names, as older versions wrote them,
// pass: nothing here needs well-formed XML. Throws DeclarationError naming `file`.
void checkWholeDeclaration(const std::filesystem::path& file, std::string_view text);

// The page count that <Pages Count="N"> announces; nothing when the text has no such tag.
std::optional<std::size_t> announcedPageCount(std::string_view text);

}  // namespace kvd507::declaration
