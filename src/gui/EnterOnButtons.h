#pragma once

namespace kvd507::gui {

// Return and Enter press the push button that has the focus, as Space does, in every window and
// dialog of the program. None of our buttons is a default button, so without this the two keys
// would do nothing on them. The keys on a text field or a list are left alone.
//
// The keys are watched once for the whole application: the main window and each dialog of ours
// call this when they are made (later calls change nothing), so that a dialog shown without the
// main window, in a test say, answers them too.
void letEnterPressButtons();

}  // namespace kvd507::gui
