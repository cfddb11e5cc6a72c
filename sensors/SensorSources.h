#pragma once
#include "model/SensorReadings.h"
#include "sensors/SensorNameTables.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// Which reading feeds each of the twelve values: the name tables by default, or the user's
// choice of one reading per value, or one GPU sensor (a card) for all GPU values.
//
// A reading is written as "sensor/kind/reading", for example "CPU/temperature/CPU Package".
// Inside the sensor and reading names a '/' is written "\/" and a '\' is written "\\"; any
// other backslash makes the text unreadable.
namespace SensorSources {

constexpr int kValueCount = 12;
// The library's name buffer holds 255 characters and the terminating zero.
constexpr int kMaxNameBytes = 255;

/// The settings key of value \a value (0..11, in the record's order): "cpuTemperature", ...
const char *valueKey(int value);
/// The value index of a settings key; -1 for none of the twelve.
int valueIndex(const QString &key);
/// The kind of reading that can feed \a value.
ReadingKind valueKind(int value);
/// True for the five values a GPU card choice ties together.
bool isGpuValue(int value);
/// The record field of \a value.
float SensorReadings::*valueField(int value);
/// The kind for its short word ("temperature", ...); false for an unknown word.
bool kindFromName(const QString &word, ReadingKind *kind);

/// False for readings that must never feed a value: not finite, a temperature outside
/// -40..150 °C, a usage above 100 %, a negative fan speed.
bool inSaneRange(ReadingKind kind, double value);

struct ReadingRef
{
    QString sensor;
    ReadingKind kind = ReadingKind::Temperature;
    QString reading;
};

/// "sensor/kind/reading" with '/' and '\' in the names escaped.
QString format(const ReadingRef &ref);
/// Reads the text form back. False for a wrong number of parts, an unknown kind, an empty
/// reading name, a stray backslash, a NUL character or a name longer than the library allows.
/// \a ref may be null to only check.
bool parse(const QString &text, ReadingRef *ref);
/// parse() that also requires the kind that \a value is fed from.
bool parseFor(int value, const QString &text, ReadingRef *ref);

enum class Reason
{
    None,     // nothing fed the value this pass: it is 0
    Table,    // the name tables picked it
    Override, // the user's choice of reading
    Card      // the name tables, within the user's GPU card
};
const char *reasonName(Reason reason);

} // namespace SensorSources

// The user's choices as stored: one text per value (empty: automatic) and the GPU card's
// sensor name (empty: none).
struct SourceChoices
{
    std::array<QString, SensorSources::kValueCount> overrides;
    QString gpuCard;

    bool isEmpty() const;
    bool operator==(const SourceChoices &other) const;
    bool operator!=(const SourceChoices &other) const { return !(*this == other); }
};

// A named reading of one pass, as offered to the user.
struct SourceCandidate
{
    QByteArray sensor;
    ReadingKind kind;
    QByteArray name;
    double value;
};

// One pass seen as sources: every named reading, and per value the one that fed it.
struct SourceReport
{
    SourceReport() { chosen.fill(-1); }

    std::vector<SourceCandidate> candidates;
    std::array<int, SensorSources::kValueCount> chosen; // index into candidates, -1: none
    std::array<SensorSources::Reason, SensorSources::kValueCount> reasons{};
    SensorReadings readings;
};

namespace SensorSources {
/// Indices of the candidates that could feed \a value (those of its kind), in walk order.
std::vector<int> candidatesFor(const SourceReport &report, int value);
/// The text form of a candidate.
QString refText(const SourceCandidate &candidate);
} // namespace SensorSources

// Picks the twelve values during a pass. Without choices it is the name tables' matcher with
// the range filter in front; with choices it also looks for the chosen readings and the card
// and settles each value when the pass ends. Nothing is allocated per reading.
class SensorSourcePicker
{
public:
    /// Takes new choices; returns the values (bits 0..11) whose text is unreadable or names a
    /// reading of the wrong kind; those stay automatic.
    unsigned setChoices(const SourceChoices &choices);
    bool hasChoices() const { return overrideMask != 0 || hasCard; }

    void startPass(SensorReadings &readings);
    /// Called before the readings of each sensor.
    void startSensor(const char *sensor);
    /// A reading with a non-empty name. \a accepted: the walk's own test (value at least 1.0)
    /// passed. \a candidate is its index in a collected report, or -1.
    void offer(ReadingKind kind, const char *name, double value, bool accepted, int candidate,
               SensorReadings &readings);
    /// Settles the values. Returns the chosen values (bits 0..11) and the card (bit 12) that
    /// went missing in this pass while they were present (or not yet seen) before.
    unsigned finishPass(SensorReadings &readings);

    SensorSources::Reason reason(int value) const;
    /// The candidate index that fed \a value, or -1.
    int chosenCandidate(int value) const;

    static constexpr unsigned kCardBit = 1u << SensorSources::kValueCount;

private:
    struct Override
    {
        QByteArray sensor;
        ReadingKind kind;
        QByteArray reading;
    };

    std::array<Override, SensorSources::kValueCount> overrides;
    unsigned overrideMask = 0;
    QByteArray card;
    bool hasCard = false;

    // Per pass.
    unsigned tableMarks = 0; // by table target index
    unsigned cardMarks = 0;
    unsigned sensorOverrides = 0; // overrides naming the current sensor
    bool onCard = false;
    bool cardSeen = false;
    unsigned overridesFound = 0;
    unsigned missingReported = 0;
    SensorReadings tableReadings;
    SensorReadings cardReadings;
    std::array<float, SensorSources::kValueCount> overrideValues{};
    std::array<int, SensorNameTables::kTargetCount> tableCandidate{};
    std::array<int, SensorNameTables::kTargetCount> cardCandidate{};
    std::array<int, SensorSources::kValueCount> overrideCandidate{};
    std::array<SensorSources::Reason, SensorSources::kValueCount> reasons{};
    std::array<int, SensorSources::kValueCount> chosen{};
};
