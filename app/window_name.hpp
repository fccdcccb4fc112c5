// The name the desktop knows the program's window by.
#pragma once

/// Names the window the library is about to create: call before allegro_init. On X11 the
/// window is created by allegro_init with the name and class given before it; `windowClass` is
/// the class name of WM_CLASS, as the desktop entry's StartupWMClass. Windows has no such class
/// (the library registers its own window class, and names the window after the executable), so
/// there this does nothing.
void nameWindow(const char* title, const char* windowClass);
