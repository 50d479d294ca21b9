#include "gui/OpenInWorkbook.h"

#include <QApplication>
#include <QCursor>

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "export/DeclarationToWorkbook.h"
#include "gui/WindowServices.h"
#include "runs/DesktopOpener.h"

namespace kvd507::gui {
namespace {

constexpr const char* kWorkbookFilter = "XLSX (*.xlsx)";

// The dialog's answer, with the ending the workbook must have for the spreadsheet program.
std::filesystem::path withXlsxEnding(std::filesystem::path file) {
  std::string ending = file.extension().string();
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ending != ".xlsx") file += ".xlsx";
  return file;
}

// The user waits for the workbook anyway; writing it takes a moment even for many pages.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

std::optional<exports::WrittenWorkbook> write(QWidget* parent,
                                              const std::filesystem::path& declaration,
                                              const std::filesystem::path& workbook,
                                              WindowServices& services) {
  const std::string name = declaration.filename().string();
  std::string text;
  try {
    BusyCursor busy;
    // The dialog asked before an existing file was chosen.
    return exports::declarationToWorkbook(declaration, workbook, exports::Replace::kAllowed);
  } catch (const exports::RowNotInTemplate& e) {
    text = headline::cannotMoveToWorkbook(name) + ": " + e.describe() + ". Darbaknygė neįrašyta.";
  } catch (...) {
    const Error error = currentError();
    const bool reading = error.file() == declaration.string();
    text = reading
               ? headline::cannotReadDeclaration(name) + ": " + error.cause(declaration.string())
               : headline::cannotWriteWorkbook(workbook.string()) + ": " +
                     error.cause(workbook.string());
  }
  services.showMessage(parent, WindowServices::MessageKind::Error, text);
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> openInWorkbook(QWidget* parent,
                                                    const std::filesystem::path& declaration,
                                                    WindowServices& services,
                                                    runs::DesktopOpener& opener) {
  const std::optional<std::filesystem::path> chosen =
      services.chooseSaveFile(parent, kWorkbookFilter, exports::defaultWorkbookFor(declaration));
  if (!chosen) return std::nullopt;
  const std::filesystem::path workbook = withXlsxEnding(*chosen);
  const auto written = write(parent, declaration, workbook, services);
  if (!written) return std::nullopt;
  if (!opener.open(workbook)) {
    services.showMessage(parent, WindowServices::MessageKind::Warning,
                         "Darbaknygė įrašyta: " + workbook.string() +
                             ", bet jos atverti nepavyko: nerasta programa .xlsx failams. "
                             "Atverkite ją skaičiuokle patys.");
  }
  return workbook;
}

}  // namespace kvd507::gui
