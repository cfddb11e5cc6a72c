#include "platform/SingleInstance.h"

#include <QSharedMemory>

void SingleInstance::clearStaleSegment(QSharedMemory &segment)
{
    // System V segments outlive a killed process; the last detach of an orphan destroys it,
    // while a live owner keeps it attached and so keeps it alive.
    if (segment.attach())
        segment.detach();
}
