#include "platform/windows/SessionEnd.h"

namespace SessionEnd {

bool endsSession(UINT message, WPARAM wParam)
{
    return message == WM_ENDSESSION && wParam != FALSE;
}

} // namespace SessionEnd
