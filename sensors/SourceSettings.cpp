#include "sensors/SourceSettings.h"

#include "core/UserStore.h"

#include <QSettings>

#include <memory>

namespace {

const QString section = QStringLiteral("Sources/");

std::unique_ptr<QSettings> openSettings()
{
    return openUserStore();
}

void write(QSettings &settings, const QString &key, const QString &text)
{
    if (text.isEmpty())
        settings.remove(section + key);
    else
        settings.setValue(section + key, text);
}

} // namespace

namespace SourceSettings {

SourceChoices load()
{
    const std::unique_ptr<QSettings> settings = openSettings();
    SourceChoices choices;
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        choices.overrides[v] =
            settings->value(section + QLatin1String(SensorSources::valueKey(v))).toString();
    choices.gpuCard = settings->value(section + QLatin1String(gpuCardKey())).toString();
    return choices;
}

void store(const SourceChoices &choices)
{
    const std::unique_ptr<QSettings> settings = openSettings();
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        write(*settings, QLatin1String(SensorSources::valueKey(v)), choices.overrides[v]);
    write(*settings, QLatin1String(gpuCardKey()), choices.gpuCard);
}

bool storeOne(const QString &key, const QString &text)
{
    if (SensorSources::valueIndex(key) < 0 && key != QLatin1String(gpuCardKey()))
        return false;
    const std::unique_ptr<QSettings> settings = openSettings();
    write(*settings, key, text);
    return true;
}

} // namespace SourceSettings
