#pragma once
class QSharedMemory;

namespace SingleInstance {
// Before create(): removes a segment that a killed copy left behind with no process
// attached, so a crash never locks the program out. A no-op where the OS cleans up.
void clearStaleSegment(QSharedMemory &segment);
} // namespace SingleInstance
