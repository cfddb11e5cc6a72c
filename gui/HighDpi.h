#pragma once
#include <QByteArray>

namespace HighDpi {

// What the desktop says about its scale, read before the application object exists.
struct Desktop
{
    QByteArray platform;       // QT_QPA_PLATFORM; empty: the build's default
    bool defaultIsXcb = true;  // the default platform is X11's (Linux builds)
    int xftDpi = 0;            // the X resource Xft.dpi; 0 when unset
    bool userChoseDpi = false; // QT_FONT_DPI, QT_SCREEN_SCALE_FACTORS or QT_USE_PHYSICAL_DPI set
};

/// The logical DPI Qt's X11 platform is to take as the desktop's, or 0 to leave Qt's own
/// choice. Without Xft.dpi Qt 5 takes the screen's physical DPI, and a 100-dpi screen scales
/// the window by 1.04; the desktop said nothing, so the factor is 1 (96 dpi), as in Qt 6.
/// Other platforms (the Windows display scale, Wayland) and the user's own settings are left
/// alone; QT_SCALE_FACTOR still applies on top.
int logicalDpi(const Desktop &desktop);

/// Xft.dpi from the text of the X resource database; 0 when it is missing or not a number.
int xftDpiFrom(const QByteArray &resources);

/// Turns Qt's high-DPI scaling on, with fractional factors (125 %, 150 %) passed through
/// instead of rounded, pixmaps that carry their device pixel ratio, and the desktop's DPI as
/// logicalDpi() decides. Qt reads these only while it creates the application object, so
/// this must run before QApplication exists.
void enableBeforeApplication();
/// Once the application object exists: child processes do not inherit the DPI set here.
void afterApplication();

} // namespace HighDpi
