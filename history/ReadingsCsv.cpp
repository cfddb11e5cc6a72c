#include "history/ReadingsCsv.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace ReadingsCsv {

QString fileName(const QDate &day)
{
    return QStringLiteral("readings-") + day.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".csv");
}

QDate dayOfFile(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^readings-(\\d{4}-\\d{2}-\\d{2})\\.csv$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return QDate();
    return QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd"));
}

QStringList expired(const QStringList &fileNames, const QDate &today, int retentionDays)
{
    QStringList old;
    if (retentionDays <= 0)
        return old;
    const QDate oldestKept = today.addDays(-retentionDays);
    for (const QString &name : fileNames) {
        const QDate day = dayOfFile(name);
        if (day.isValid() && day < oldestKept)
            old << name;
    }
    return old;
}

QByteArray header()
{
    QString text = QStringLiteral("time");
    for (int c = 0; c < HistoryChannels::kCount; ++c)
        text += QStringLiteral(",%1 (%2)")
                    .arg(HistoryChannels::key(c), HistoryChannels::unitSign(c, true));
    return text.toUtf8() + '\n';
}

QString timeText(const QDateTime &local)
{
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString valueText(float value)
{
    if (std::isnan(value) || std::isinf(value))
        return QString();
    // QString::number ignores the locale: always a dot.
    for (int digits = 1; digits < 9; ++digits) {
        const QString text = QString::number(double(value), 'g', digits);
        if (text.toFloat() == value)
            return text;
    }
    return QString::number(double(value), 'g', 9);
}

QByteArray row(const QDateTime &local, const HistoryChannels::Sample &sample)
{
    QString text = timeText(local);
    for (float value : sample)
        text += QLatin1Char(',') + valueText(value);
    return text.toUtf8() + '\n';
}

bool parseRow(const QByteArray &line, QDateTime *time, HistoryChannels::Sample *sample)
{
    const QList<QByteArray> fields = line.trimmed().split(',');
    if (fields.size() != 1 + HistoryChannels::kCount)
        return false;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
    if (!when.isValid())
        return false;
    HistoryChannels::Sample values;
    for (int c = 0; c < HistoryChannels::kCount; ++c) {
        const QByteArray &field = fields[c + 1];
        bool ok = true;
        values[c] = field.isEmpty() ? std::numeric_limits<float>::quiet_NaN() : field.toFloat(&ok);
        if (!ok)
            return false;
    }
    *time = when;
    *sample = values;
    return true;
}

} // namespace ReadingsCsv
