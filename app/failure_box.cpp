// The message box for a failure, the one part of reporting one that differs between Windows
// and Linux. It needs nothing of the library, so that it works however far start-up got.
#include "app/failure_box.hpp"

#ifdef _WIN32
#include <windows.h>

void showFailureBox(const std::string& line) {
  MessageBoxA(nullptr, line.c_str(), "funnies", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
#else
void showFailureBox(const std::string&) {}
#endif
