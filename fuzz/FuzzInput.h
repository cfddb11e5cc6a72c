#pragma once
// Small helpers shared by the fuzz targets.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace FuzzInput {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

// Tool output reaches the parsers decoded; any byte sequence must survive that.
inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

// A broken property is a finding like a crash: abort so libFuzzer keeps the input.
inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace FuzzInput
