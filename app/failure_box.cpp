// Where a failure is shown beside stderr, the one part of reporting one that differs between
// the platforms: a message box on Windows, whose windowed programs have no console, and the
// page's own text in the browser, whose console a user does not see. It needs nothing of the
// library, so that it works however far start-up got.
#include "app/failure_box.hpp"

#if defined(_WIN32)
#include <windows.h>

void showFailureBox(const std::string& line) {
  MessageBoxA(nullptr, line.c_str(), "funnies", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
#elif defined(__EMSCRIPTEN__)
#include <emscripten.h>

void showFailureBox(const std::string& line) {
  EM_ASM(
      {
        if (Module['showFailure'])
          Module['showFailure'](UTF8ToString($0));
      },
      line.c_str());
}
#else
void showFailureBox(const std::string&) {}
#endif
