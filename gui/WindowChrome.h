#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class QWidget;

// Rules of the frameless window's border: which zone the cursor is in, the cursor shape
// there, and the rectangle a drag in that zone asks for. All points are global.
namespace WindowChrome {

enum ResizeZone : int
{
    ZoneTop = 0,
    ZoneBottom = 1,
    ZoneLeft = 2,
    ZoneRight = 3,
    ZoneTopLeft = 4,
    ZoneBottomLeft = 5,
    ZoneBottomRight = 6,
    ZoneTopRight = 7,
    ZoneNone = 8
};

// Width of the grip along each edge, inclusive at both ends.
constexpr int kBorder = 4;

// The zone of cursor under the window whose corners are topLeft and bottomRight. Corners
// are tested before edges; an edge test looks at one coordinate only.
int findResizeZone(const QPoint &cursor, const QPoint &topLeft, const QPoint &bottomRight);

// The cursor shape shown in a zone; the arrow for none or an unknown zone.
Qt::CursorShape cursorForZone(int zone);

// The window rectangle after dragging zone to cursor, starting from topLeft..bottomRight.
// The top or left edge only moves while the window stays larger than minimum that way.
QRect resizedRect(int zone, const QPoint &topLeft, const QPoint &bottomRight, const QPoint &cursor,
                  const QSize &minimum);

// Hands a drag of the window to the window system where it supports that (Wayland, X11
// window managers, Windows); false where the program must move the window itself.
bool startSystemMove(QWidget &window);

// Moving a frameless window by a free spot: the window system takes the drag where it can,
// otherwise the window follows the mouse from where it was grabbed.
class WindowDrag
{
public:
    void press(QWidget &window, const QPoint &globalCursor);
    // Moves the window with the cursor; false when no drag of ours is under way.
    bool follow(QWidget &window, const QPoint &globalCursor) const;
    void release() { following = false; }
    bool isFollowing() const { return following; }

private:
    bool following = false;
    QPoint grabOffset;
};

} // namespace WindowChrome
