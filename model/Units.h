#pragma once
#include <cstdint>

// Memory and drive sizes are shown and sent in binary gigabytes.
constexpr std::uint64_t kBytesPerGiB = 1073741824ULL;

// The signs the gauges put after a temperature, in UTF-8.
constexpr char kCelsiusSign[] = "\u2103";
constexpr char kFahrenheitSign[] = "\u2109";
