#include "app/UserSettings.h"

#include "core/UserStore.h"
#include "sensors/SourceSettings.h"

#include <QSettings>
#include <QVariant>

#include <memory>

namespace {

const char unitKey[] = "TempShowModel/Model";

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
    const QVariant before = settings->value(QLatin1String(unitKey));
    settings->setValue(QLatin1String(unitKey), unit);
    // setValue() never fails by itself: a read-only file or a full disk shows only in sync().
    settings->sync();
    if (settings->status() == QSettings::NoError)
        return true;
    // Qt keeps the unsaved value in its per-process cache, where later reads would take it
    // for a saved one.
    if (before.isValid())
        settings->setValue(QLatin1String(unitKey), before);
    else
        settings->remove(QLatin1String(unitKey));
    settings->sync();
    return false;
}

SourceChoices sources()
{
    return SourceSettings::load();
}

bool storeSources(const SourceChoices &choices)
{
    return SourceSettings::store(choices);
}

} // namespace UserSettings
