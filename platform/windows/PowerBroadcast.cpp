#include "platform/windows/PowerBroadcast.h"

namespace PowerBroadcast {

bool isResume(UINT message, WPARAM wParam)
{
    return message == WM_POWERBROADCAST && wParam == PBT_APMRESUMEAUTOMATIC;
}

} // namespace PowerBroadcast
