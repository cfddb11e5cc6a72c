#include "gui/HighDpi.h"

#include <QGuiApplication>

#include <cmath>

#ifndef Q_OS_WIN
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

constexpr int kNeutralDpi = 96;
const char kDpiVariable[] = "QT_FONT_DPI";
bool dpiSetHere = false;

bool onXcb(const HighDpi::Desktop &desktop)
{
    return desktop.platform.isEmpty() ? desktop.defaultIsXcb : desktop.platform.startsWith("xcb");
}

// The resource database of the X server named by DISPLAY, as xrdb shows it; empty without one.
QByteArray xResources()
{
#ifdef Q_OS_WIN
    return QByteArray();
#else
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QByteArray();
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    QByteArray text;
    if (!xcb_connection_has_error(connection)) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        // The database lives on the first screen's root window; 64 KiB is far more than it holds.
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 16384);
        if (xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr)) {
            text = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                              xcb_get_property_value_length(reply));
            std::free(reply);
        }
    }
    xcb_disconnect(connection);
    return text;
#endif
}

HighDpi::Desktop currentDesktop()
{
    HighDpi::Desktop desktop;
    desktop.platform = qgetenv("QT_QPA_PLATFORM");
#ifdef Q_OS_WIN
    desktop.defaultIsXcb = false;
#endif
    desktop.userChoseDpi = qEnvironmentVariableIsSet(kDpiVariable) ||
                           qEnvironmentVariableIsSet("QT_SCREEN_SCALE_FACTORS") ||
                           qEnvironmentVariableIntValue("QT_USE_PHYSICAL_DPI") != 0;
    if (onXcb(desktop) && !desktop.userChoseDpi)
        desktop.xftDpi = HighDpi::xftDpiFrom(xResources());
    return desktop;
}

} // namespace

int HighDpi::logicalDpi(const Desktop &desktop)
{
    if (!onXcb(desktop) || desktop.userChoseDpi)
        return 0;
    return desktop.xftDpi > 0 ? desktop.xftDpi : kNeutralDpi;
}

int HighDpi::xftDpiFrom(const QByteArray &resources)
{
    const QByteArray key = "Xft.dpi:";
    int dpi = 0;
    // A later line wins, as in the resource database itself.
    for (const QByteArray &line : resources.split('\n')) {
        if (!line.startsWith(key))
            continue;
        bool ok = false;
        const double value = line.mid(key.size()).trimmed().toDouble(&ok);
        dpi = ok && value >= 1 && value <= 10000 ? int(std::lround(value)) : 0;
    }
    return dpi;
}

void HighDpi::enableBeforeApplication()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    const int dpi = logicalDpi(currentDesktop());
    if (dpi > 0) {
        qputenv(kDpiVariable, QByteArray::number(dpi));
        dpiSetHere = true;
    }
}

void HighDpi::afterApplication()
{
    if (dpiSetHere)
        qunsetenv(kDpiVariable);
    dpiSetHere = false;
}
