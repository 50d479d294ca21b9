#pragma once

#include <filesystem>

class QWidget;

namespace Ui {
class MainWindow;
}

namespace kvd507::gui {

// What MainWindow.ui cannot say of the main window: its caption and fixed size, fonts, the
// cream panels, the buttons' pictures, the elided workbook name, and the program folder in the
// status bar (`lb_aplankas`).
void applyMainWindowLook(QWidget& window, Ui::MainWindow& ui,
                         const std::filesystem::path& programFolder);

}  // namespace kvd507::gui
