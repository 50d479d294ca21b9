#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace kvd507::runs {
class DesktopOpener;
}

namespace kvd507::gui {

class WindowServices;

// "Atverti darbaknygėje…": asks where to write the declaration's rows as a workbook laid out
// as the template (beside the declaration, under its name, unless the user says otherwise),
// writes it and opens it with the desktop's spreadsheet program. Returns the workbook once it
// is written, opened or not; nothing when the user cancelled or it could not be written, which
// has been told.
std::optional<std::filesystem::path> openInWorkbook(QWidget* parent,
                                                    const std::filesystem::path& declaration,
                                                    WindowServices& services,
                                                    runs::DesktopOpener& opener);

}  // namespace kvd507::gui
