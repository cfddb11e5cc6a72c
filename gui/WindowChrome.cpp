#include "gui/WindowChrome.h"

#include <QWidget>
#include <QWindow>

namespace WindowChrome {

namespace {

bool within(int value, int low, int high)
{
    return low <= value && value <= high;
}

void moveTop(QRect &rect, const QPoint &bottomRight, const QPoint &cursor, const QSize &minimum)
{
    if (minimum.height() < bottomRight.y() - cursor.y())
        rect.setTop(cursor.y());
}

void moveLeft(QRect &rect, const QPoint &bottomRight, const QPoint &cursor, const QSize &minimum)
{
    if (minimum.width() < bottomRight.x() - cursor.x())
        rect.setLeft(cursor.x());
}

void stretchDown(QRect &rect, const QPoint &topLeft, const QPoint &cursor)
{
    rect.setHeight(cursor.y() - topLeft.y());
}

void stretchRight(QRect &rect, const QPoint &topLeft, const QPoint &cursor)
{
    rect.setWidth(cursor.x() - topLeft.x());
}

} // namespace

int findResizeZone(const QPoint &cursor, const QPoint &topLeft, const QPoint &bottomRight)
{
    const bool left = within(cursor.x(), topLeft.x(), topLeft.x() + kBorder);
    const bool right = within(cursor.x(), bottomRight.x() - kBorder, bottomRight.x());
    const bool top = within(cursor.y(), topLeft.y(), topLeft.y() + kBorder);
    const bool bottom = within(cursor.y(), bottomRight.y() - kBorder, bottomRight.y());
    if (left && top)
        return ZoneTopLeft;
    if (right && bottom)
        return ZoneBottomRight;
    if (left && bottom)
        return ZoneBottomLeft;
    if (right && top)
        return ZoneTopRight;
    if (left)
        return ZoneLeft;
    if (right)
        return ZoneRight;
    if (top)
        return ZoneTop;
    if (bottom)
        return ZoneBottom;
    return ZoneNone;
}

Qt::CursorShape cursorForZone(int zone)
{
    switch (zone) {
    case ZoneTop:
    case ZoneBottom:
        return Qt::SizeVerCursor;
    case ZoneLeft:
    case ZoneRight:
        return Qt::SizeHorCursor;
    case ZoneTopLeft:
    case ZoneBottomRight:
        return Qt::SizeFDiagCursor;
    case ZoneBottomLeft:
    case ZoneTopRight:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QRect resizedRect(int zone, const QPoint &topLeft, const QPoint &bottomRight, const QPoint &cursor,
                  const QSize &minimum)
{
    QRect rect(topLeft, bottomRight);
    switch (zone) {
    case ZoneTop:
        moveTop(rect, bottomRight, cursor, minimum);
        break;
    case ZoneBottom:
        stretchDown(rect, topLeft, cursor);
        break;
    case ZoneLeft:
        moveLeft(rect, bottomRight, cursor, minimum);
        break;
    case ZoneRight:
        stretchRight(rect, topLeft, cursor);
        break;
    case ZoneTopLeft:
        moveLeft(rect, bottomRight, cursor, minimum);
        moveTop(rect, bottomRight, cursor, minimum);
        break;
    case ZoneBottomLeft:
        stretchDown(rect, topLeft, cursor);
        moveLeft(rect, bottomRight, cursor, minimum);
        break;
    case ZoneBottomRight:
        stretchRight(rect, topLeft, cursor);
        stretchDown(rect, topLeft, cursor);
        break;
    case ZoneTopRight:
        stretchRight(rect, topLeft, cursor);
        moveTop(rect, bottomRight, cursor, minimum);
        break;
    default:
        break;
    }
    return rect;
}

bool startSystemMove(QWidget &window)
{
    QWindow *handle = window.windowHandle();
    return handle && handle->startSystemMove();
}

void WindowDrag::press(QWidget &window, const QPoint &globalCursor)
{
    grabOffset = globalCursor - window.frameGeometry().topLeft();
    // Wayland allows no move(): there only the window system can move the window.
    following = !startSystemMove(window);
}

bool WindowDrag::follow(QWidget &window, const QPoint &globalCursor) const
{
    if (!following)
        return false;
    window.move(globalCursor - grabOffset);
    return true;
}

} // namespace WindowChrome
