// Xlib's notice that the X server lacks the DGA extension, which the library looks for on every
// start: the one such notice the program keeps quiet.
#pragma once

/// From now on, Xlib's "extension "XFree86-DGA" missing on display" goes unsaid; every other
/// extension's notice still reaches stderr as before. The mode dialog asks both DGA drivers
/// for their modes, and a server without DGA (Xvfb, Xwayland: every Wayland desktop) would
/// otherwise have a normal start print two lines. Windows has no X server, so there this does
/// nothing.
void silenceMissingDgaNotice();
