#pragma once

#include <functional>

namespace win {

// The default message beep of the desktop.
void MessageBeep();

// Replaces the beep (tests count beeps instead of hearing them); an empty handler restores it.
void setMessageBeepHandler(std::function<void()> handler);

} // namespace win
