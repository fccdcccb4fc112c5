// The failure line where a Windows user can see it: the Windows program is windowed, without a
// console, so its stderr goes nowhere a user looks.
#pragma once

#include <string>

/// On Windows, shows `line` in a message box titled "funnies" and returns when the user has
/// dismissed it; call once the library has let go of the screen. Elsewhere it does nothing:
/// stderr is where the line belongs there.
void showFailureBox(const std::string& line);
