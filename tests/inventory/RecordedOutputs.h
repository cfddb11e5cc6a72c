#pragma once
// The wmic outputs recorded on a Windows desktop, byte for byte.
#include <QByteArray>
#include <QFile>
#include <QString>

inline QString recordedDir()
{
    return QStringLiteral(TARNIX_SOURCE_DIR "/tests/data/wmic");
}

inline QByteArray recorded(const QString &file)
{
    QFile f(recordedDir() + QLatin1Char('/') + file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
