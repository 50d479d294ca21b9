#include "runs/FindingsText.h"

namespace kvd507::runs {
namespace {

std::string field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

std::string findingsAsTable(const std::vector<rows::Finding>& findings) {
  std::string table = "Lapas\tEilutė\tStulpelis\tPastaba\n";
  for (const rows::Finding& f : findings) {
    table += field(f.sheet) + '\t' + (f.row != 0 ? std::to_string(f.row) : std::string()) + '\t' +
             field(f.column) + '\t' + field(f.text) + '\n';
  }
  return table;
}

}  // namespace kvd507::runs
