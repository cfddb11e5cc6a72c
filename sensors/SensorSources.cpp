#include "sensors/SensorSources.h"

#include <cmath>
#include <cstring>

namespace {

using SensorSources::kValueCount;
using SensorSources::Reason;

struct ValueInfo
{
    const char *key;
    ReadingKind kind;
    float SensorReadings::*field;
    bool gpu;
};

// In the record's order.
const ValueInfo values[kValueCount] = {
    {"cpuTemperature", ReadingKind::Temperature, &SensorReadings::cpuTemperature, false},
    {"cpuUsage", ReadingKind::Usage, &SensorReadings::cpuUsage, false},
    {"cpuClock", ReadingKind::Clock, &SensorReadings::cpuClock, false},
    {"cpuPower", ReadingKind::Power, &SensorReadings::cpuPower, false},
    {"cpuFan", ReadingKind::Fan, &SensorReadings::cpuFan, false},
    {"gpuTemperature", ReadingKind::Temperature, &SensorReadings::gpuTemperature, true},
    {"gpuUsage", ReadingKind::Usage, &SensorReadings::gpuUsage, true},
    {"gpuClock", ReadingKind::Clock, &SensorReadings::gpuClock, true},
    {"gpuPower", ReadingKind::Power, &SensorReadings::gpuPower, true},
    {"gpuFan", ReadingKind::Fan, &SensorReadings::gpuFan, true},
    {"boardTemperature", ReadingKind::Temperature, &SensorReadings::boardTemperature, false},
    {"memoryClock", ReadingKind::Clock, &SensorReadings::memoryClock, false},
};

const ReadingKind allKinds[kReadingKindCount] = {ReadingKind::Temperature, ReadingKind::Fan,
                                                 ReadingKind::Power, ReadingKind::Clock,
                                                 ReadingKind::Usage};

// The name tables number their targets by kind; this links the two orders.
struct TargetMap
{
    int valueOfTarget[SensorNameTables::kTargetCount];
    int targetOfValue[kValueCount];
    TargetMap()
    {
        for (int t = 0; t < SensorNameTables::kTargetCount; ++t) {
            for (int v = 0; v < kValueCount; ++v) {
                if (SensorNameTables::targetField(t) == values[v].field) {
                    valueOfTarget[t] = v;
                    targetOfValue[v] = t;
                }
            }
        }
    }
};

const TargetMap &targetMap()
{
    static const TargetMap map;
    return map;
}

QString escapeName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

bool nameFits(const QString &name)
{
    return !name.contains(QChar(0)) && name.toLocal8Bit().size() <= SensorSources::kMaxNameBytes;
}

} // namespace

namespace SensorSources {

const char *valueKey(int value)
{
    return value >= 0 && value < kValueCount ? values[value].key : "";
}

int valueIndex(const QString &key)
{
    for (int v = 0; v < kValueCount; ++v) {
        if (key == QLatin1String(values[v].key))
            return v;
    }
    return -1;
}

ReadingKind valueKind(int value)
{
    return values[value].kind;
}

bool isGpuValue(int value)
{
    return values[value].gpu;
}

float SensorReadings::*valueField(int value)
{
    return values[value].field;
}

bool kindFromName(const QString &word, ReadingKind *kind)
{
    for (const ReadingKind k : allKinds) {
        if (word == QLatin1String(SensorNameTables::kindName(k))) {
            *kind = k;
            return true;
        }
    }
    return false;
}

bool inSaneRange(ReadingKind kind, double value)
{
    if (!std::isfinite(value))
        return false;
    switch (kind) {
    case ReadingKind::Temperature:
        return value >= -40.0 && value <= 150.0;
    case ReadingKind::Usage:
        return value <= 100.0;
    case ReadingKind::Fan:
        return value >= 0.0;
    case ReadingKind::Power:
    case ReadingKind::Clock:
        break;
    }
    return true;
}

QString format(const ReadingRef &ref)
{
    return escapeName(ref.sensor) + QLatin1Char('/') +
           QLatin1String(SensorNameTables::kindName(ref.kind)) + QLatin1Char('/') +
           escapeName(ref.reading);
}

bool parse(const QString &text, ReadingRef *ref)
{
    QString parts[3];
    int part = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= text.size())
                return false;
            const QChar next = text.at(++i);
            if (next != QLatin1Char('/') && next != QLatin1Char('\\'))
                return false;
            parts[part] += next;
        } else if (c == QLatin1Char('/')) {
            if (++part > 2)
                return false;
        } else {
            parts[part] += c;
        }
    }
    ReadingRef result;
    // An empty sensor name is allowed: a library may leave a sensor unnamed.
    if (part != 2 || parts[2].isEmpty() || !kindFromName(parts[1], &result.kind) ||
        !nameFits(parts[0]) || !nameFits(parts[2]))
        return false;
    result.sensor = parts[0];
    result.reading = parts[2];
    if (ref)
        *ref = result;
    return true;
}

bool parseFor(int value, const QString &text, ReadingRef *ref)
{
    ReadingRef parsed;
    if (value < 0 || value >= kValueCount || !parse(text, &parsed) ||
        parsed.kind != valueKind(value))
        return false;
    if (ref)
        *ref = parsed;
    return true;
}

const char *reasonName(Reason reason)
{
    switch (reason) {
    case Reason::None:
        return "none";
    case Reason::Table:
        return "table";
    case Reason::Override:
        return "override";
    case Reason::Card:
        return "card";
    }
    return "";
}

std::vector<int> candidatesFor(const SourceReport &report, int value)
{
    std::vector<int> out;
    const ReadingKind kind = valueKind(value);
    for (size_t i = 0; i < report.candidates.size(); ++i) {
        if (report.candidates[i].kind == kind)
            out.push_back(int(i));
    }
    return out;
}

QString refText(const SourceCandidate &candidate)
{
    return format(ReadingRef{QString::fromLocal8Bit(candidate.sensor), candidate.kind,
                             QString::fromLocal8Bit(candidate.name)});
}

} // namespace SensorSources

bool SourceChoices::isEmpty() const
{
    if (!gpuCard.isEmpty())
        return false;
    for (const QString &text : overrides) {
        if (!text.isEmpty())
            return false;
    }
    return true;
}

bool SourceChoices::operator==(const SourceChoices &other) const
{
    return overrides == other.overrides && gpuCard == other.gpuCard;
}

// ---- the picker -------------------------------------------------------------------------

unsigned SensorSourcePicker::setChoices(const SourceChoices &choices)
{
    unsigned unreadable = 0;
    overrideMask = 0;
    for (int v = 0; v < kValueCount; ++v) {
        overrides[v] = Override();
        if (choices.overrides[v].isEmpty())
            continue;
        SensorSources::ReadingRef ref;
        if (!SensorSources::parseFor(v, choices.overrides[v], &ref)) {
            unreadable |= 1u << v;
            continue;
        }
        overrides[v] = Override{ref.sensor.toLocal8Bit(), ref.kind, ref.reading.toLocal8Bit()};
        overrideMask |= 1u << v;
    }
    card = choices.gpuCard.toLocal8Bit();
    hasCard = !card.isEmpty() && card.size() <= SensorSources::kMaxNameBytes;
    missingReported = 0;
    return unreadable;
}

void SensorSourcePicker::startPass(SensorReadings &readings)
{
    tableMarks = 0;
    readings = SensorReadings();
    if (!hasChoices())
        return;
    cardMarks = 0;
    sensorOverrides = 0;
    onCard = false;
    cardSeen = false;
    overridesFound = 0;
    tableReadings = SensorReadings();
    cardReadings = SensorReadings();
}

void SensorSourcePicker::startSensor(const char *sensor)
{
    if (!hasChoices())
        return;
    sensorOverrides = 0;
    for (int v = 0; v < kValueCount; ++v) {
        if ((overrideMask & (1u << v)) && std::strcmp(sensor, overrides[v].sensor.constData()) == 0)
            sensorOverrides |= 1u << v;
    }
    onCard = hasCard && std::strcmp(sensor, card.constData()) == 0;
    cardSeen = cardSeen || onCard;
}

void SensorSourcePicker::offer(ReadingKind kind, const char *name, double value, bool accepted,
                               int candidate, SensorReadings &readings)
{
    if (!SensorSources::inSaneRange(kind, value))
        return;
    if (!hasChoices()) {
        if (!accepted)
            return;
        const int target = SensorNameTables::findTarget(kind, name, tableMarks);
        if (target < 0)
            return;
        tableMarks |= 1u << target;
        readings.*SensorNameTables::targetField(target) = static_cast<float>(value);
        tableCandidate[target] = candidate;
        return;
    }

    // A chosen reading feeds its value even below the walk's threshold: an idle GPU's load of
    // 0 % is a true 0, and falling back to another card there would show the wrong one.
    for (unsigned pending = sensorOverrides & ~overridesFound; pending; pending &= pending - 1) {
        const int v = __builtin_ctz(pending);
        if (overrides[v].kind == kind && std::strcmp(name, overrides[v].reading.constData()) == 0) {
            overridesFound |= 1u << v;
            overrideValues[v] = static_cast<float>(value);
            overrideCandidate[v] = candidate;
        }
    }
    if (!accepted)
        return;
    const int target = SensorNameTables::findTarget(kind, name, tableMarks);
    if (target >= 0) {
        tableMarks |= 1u << target;
        tableReadings.*SensorNameTables::targetField(target) = static_cast<float>(value);
        tableCandidate[target] = candidate;
    }
    if (onCard) {
        const int cardTarget = SensorNameTables::findTarget(kind, name, cardMarks);
        if (cardTarget >= 0) {
            cardMarks |= 1u << cardTarget;
            cardReadings.*SensorNameTables::targetField(cardTarget) = static_cast<float>(value);
            cardCandidate[cardTarget] = candidate;
        }
    }
}

unsigned SensorSourcePicker::finishPass(SensorReadings &readings)
{
    if (!hasChoices())
        return 0;
    const TargetMap &map = targetMap();
    for (int v = 0; v < kValueCount; ++v) {
        float SensorReadings::*field = SensorSources::valueField(v);
        const int target = map.targetOfValue[v];
        if (overridesFound & (1u << v)) {
            readings.*field = overrideValues[v];
            reasons[v] = Reason::Override;
            chosen[v] = overrideCandidate[v];
        } else if (cardSeen && SensorSources::isGpuValue(v)) {
            const bool found = cardMarks & (1u << target);
            readings.*field = found ? cardReadings.*field : 0.0f;
            reasons[v] = found ? Reason::Card : Reason::None;
            chosen[v] = found ? cardCandidate[target] : -1;
        } else {
            const bool found = tableMarks & (1u << target);
            readings.*field = found ? tableReadings.*field : 0.0f;
            reasons[v] = found ? Reason::Table : Reason::None;
            chosen[v] = found ? tableCandidate[target] : -1;
        }
    }
    const unsigned present = overridesFound | (cardSeen ? kCardBit : 0u);
    const unsigned wanted = overrideMask | (hasCard ? kCardBit : 0u);
    const unsigned missing = wanted & ~present;
    const unsigned newlyMissing = missing & ~missingReported;
    // Found again: a later loss is worth a line again.
    missingReported = (missingReported | missing) & ~present;
    return newlyMissing;
}

SensorSources::Reason SensorSourcePicker::reason(int value) const
{
    if (hasChoices())
        return reasons[value];
    const int target = targetMap().targetOfValue[value];
    return (tableMarks & (1u << target)) ? Reason::Table : Reason::None;
}

int SensorSourcePicker::chosenCandidate(int value) const
{
    if (hasChoices())
        return chosen[value];
    const int target = targetMap().targetOfValue[value];
    return (tableMarks & (1u << target)) ? tableCandidate[target] : -1;
}
