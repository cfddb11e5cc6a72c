#pragma once
#include "sensors/SensorSources.h"

#include <QString>

// The user's sources in the per-user settings store, beside the temperature unit: section
// "Sources", one key per value ("Sources/cpuTemperature") plus "Sources/gpuCard".
namespace SourceSettings {

/// The settings key of the GPU card choice within the section.
inline const char *gpuCardKey()
{
    return "gpuCard";
}

SourceChoices load();
/// Writes every choice; an empty one removes its key. False when the settings file could not
/// be written (a read-only file or folder): then nothing was saved, and later loads in this
/// process still give the old choices.
bool store(const SourceChoices &choices);
/// Writes one key ("cpuTemperature", ..., or "gpuCard"); empty text removes it. False for an
/// unknown key or when the settings file could not be written.
bool storeOne(const QString &key, const QString &text);
/// The settings file the choices live in, for messages.
QString fileName();

} // namespace SourceSettings
