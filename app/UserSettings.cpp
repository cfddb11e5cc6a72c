#include "app/UserSettings.h"

#include "core/UserStore.h"
#include "sensors/SourceSettings.h"

#include <QSettings>

#include <memory>

namespace {

const char unitKey[] = "TempShowModel/Model";
const QString sourcesSection = QStringLiteral("Sources/");

// A read-only file or a full disk shows only here: setValue() never fails by itself.
bool flushed(QSettings &settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void writeSource(QSettings &settings, const QString &key, const QString &text)
{
    if (text.isEmpty())
        settings.remove(sourcesSection + key);
    else
        settings.setValue(sourcesSection + key, text);
}

} // namespace

namespace UserSettings {

int startUnit(int unitSwitch, bool *stored)
{
    if (stored)
        *stored = true;
    int unit = kCelsius;
    {
        const std::unique_ptr<QSettings> settings = openUserStore();
        if (settings->contains(QLatin1String(unitKey)))
            unit = settings->value(QLatin1String(unitKey)).toInt();
    }
    if (unitSwitch == 0) {
        const bool ok = storeUnit(kCelsius);
        if (stored)
            *stored = ok;
        unit = kCelsius;
    }
    return unit;
}

bool storeUnit(int unit)
{
    const std::unique_ptr<QSettings> settings = openUserStore();
    settings->setValue(QLatin1String(unitKey), unit);
    return flushed(*settings);
}

SourceChoices sources()
{
    return SourceSettings::load();
}

bool storeSources(const SourceChoices &choices)
{
    const std::unique_ptr<QSettings> settings = openUserStore();
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        writeSource(*settings, QLatin1String(SensorSources::valueKey(v)), choices.overrides[v]);
    writeSource(*settings, QLatin1String(SourceSettings::gpuCardKey()), choices.gpuCard);
    return flushed(*settings);
}

} // namespace UserSettings
