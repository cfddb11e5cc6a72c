#pragma once
#include <QSettings>

#include <memory>

// The per-user settings store that holds the user's own choices (unit and sources), opened
// afresh for every read or write.
inline std::unique_ptr<QSettings> openUserStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("MyCompanyKelmar"), QStringLiteral("Tarnix"));
}
