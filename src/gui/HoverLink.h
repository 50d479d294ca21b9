#pragma once

#include <functional>

class QLabel;

namespace kvd507::gui {

// Makes `label` behave as a link: navy, and bold bright blue under a pointing hand while the
// mouse is over it; a left click calls `open`.
void makeHoverLink(QLabel& label, std::function<void()> open);

}  // namespace kvd507::gui
