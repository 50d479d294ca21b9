#include "errors/Headlines.h"

namespace kvd507::headline {
namespace {

std::string join(std::string_view words, std::string_view name) {
  std::string text(words);
  text += name;
  return text;
}

}  // namespace

std::string cannotReadDeclaration(std::string_view name) {
  return join("Nepavyko perskaityti formos ", name);
}

std::string cannotWriteDeclaration(std::string_view name) {
  return join("Nepavyko įrašyti formos ", name);
}

std::string cannotWriteWorkbook(std::string_view name) {
  return join("Nepavyko įrašyti darbaknygės ", name);
}

std::string cannotReadFile(std::string_view name) {
  return join("Nepavyko perskaityti failo ", name);
}

std::string cannotWriteFile(std::string_view name) {
  return join("Nepavyko įrašyti failo ", name);
}

std::string badlyFilledFile(std::string_view name) {
  return join("Blogai užpildytas failas ", name);
}

std::string cannotOpen(std::string_view name) {
  return join("Nepavyko atverti ", name);
}

std::string cannotMoveToWorkbook(std::string_view name) {
  return "Formos " + std::string(name) + " į darbaknygę perkelti negalima";
}

}  // namespace kvd507::headline
