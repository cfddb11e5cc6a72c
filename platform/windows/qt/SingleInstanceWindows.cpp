#include "platform/SingleInstance.h"

// Windows removes a named segment with its last handle, so a crashed copy leaves nothing.
void SingleInstance::clearStaleSegment(QSharedMemory &) {}
