#include "platform/DisplayServer.h"

// Every Windows session has a desktop to draw on.
namespace DisplayServer {

bool available()
{
    return true;
}

int localDisplayNumber(const QString &)
{
    return -1;
}

bool platformNeedsDisplay(const QString &)
{
    return false;
}

} // namespace DisplayServer
