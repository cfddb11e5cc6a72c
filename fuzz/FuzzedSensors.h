#pragma once
// A sensor library (the ten functions of libhwsensors.so) that answers from a fuzz input.
#include <cstddef>
#include <cstdint>

extern "C" {
/// Replaces every sensor and reading with those the input describes.
__attribute__((visibility("default"))) void fuzzedSensorsLoad(const uint8_t *data, size_t size);
}
