#include "sensors/SourceSettings.h"

#include <QSettings>

#include <memory>

namespace {

const QString section = QStringLiteral("Sources/");

std::unique_ptr<QSettings> openSettings()
{
    // Organisation and application as for the temperature unit: one file for the user.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("MyCompanyKelmar"), QStringLiteral("Tarnix"));
}

void write(QSettings &settings, const QString &key, const QString &text)
{
    if (text.isEmpty())
        settings.remove(section + key);
    else
        settings.setValue(section + key, text);
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
    const std::unique_ptr<QSettings> settings = openSettings();
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        write(*settings, QLatin1String(SensorSources::valueKey(v)), choices.overrides[v]);
    write(*settings, QLatin1String(gpuCardKey()), choices.gpuCard);
    return saved(*settings);
}

bool storeOne(const QString &key, const QString &text)
{
    if (SensorSources::valueIndex(key) < 0 && key != QLatin1String(gpuCardKey()))
        return false;
    const std::unique_ptr<QSettings> settings = openSettings();
    write(*settings, key, text);
    return saved(*settings);
}

QString fileName()
{
    return openSettings()->fileName();
}

} // namespace SourceSettings
