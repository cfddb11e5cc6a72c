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

void writeAll(QSettings &settings, const SourceChoices &choices)
{
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        write(settings, QLatin1String(SensorSources::valueKey(v)), choices.overrides[v]);
    write(settings, QLatin1String(SourceSettings::gpuCardKey()), choices.gpuCard);
}

// QSettings only writes on sync(); its status then tells whether the file was saved.
bool saved(QSettings &settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
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

bool store(const SourceChoices &choices)
{
    const SourceChoices before = load();
    const std::unique_ptr<QSettings> settings = openSettings();
    writeAll(*settings, choices);
    if (saved(*settings))
        return true;
    // Qt keeps unsaved values in its per-process cache of the file, where later reads would
    // take them for saved ones: the old values go back.
    writeAll(*settings, before);
    settings->sync();
    return false;
}

bool storeOne(const QString &key, const QString &text)
{
    if (SensorSources::valueIndex(key) < 0 && key != QLatin1String(gpuCardKey()))
        return false;
    const std::unique_ptr<QSettings> settings = openSettings();
    const QString before = settings->value(section + key).toString();
    write(*settings, key, text);
    if (saved(*settings))
        return true;
    write(*settings, key, before); // out of Qt's cache again, as in store()
    settings->sync();
    return false;
}

QString fileName()
{
    return openSettings()->fileName();
}

} // namespace SourceSettings
