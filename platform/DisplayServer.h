#pragma once
#include <QString>

// Whether a window can be shown at all: Qt ends the process when its platform plugin finds no
// display, so the program asks before it makes the application object.
namespace DisplayServer {

/// True when the platform plugin Qt will pick can reach a display: an X server named by
/// DISPLAY that answers on its local socket (a remote one is trusted), a Wayland socket, or a
/// QT_QPA_PLATFORM that needs none (offscreen, minimal, ...). Always true on Windows.
bool available();
/// The display number of a local X display name (":0", ":1.0", "unix:2"); -1 for a remote
/// display (host:0) or a malformed name.
int localDisplayNumber(const QString &display);
/// Whether the named platform plugin ("xcb", "wayland;xcb", "offscreen") needs a display
/// server; an empty name means Qt's default, which does.
bool platformNeedsDisplay(const QString &platform);

} // namespace DisplayServer
