#pragma once
#include "endpoint/ListenAddress.h"

// Tarnix's endpoint in the per-user settings store, beside the temperature unit: the key
// "Endpoint/Listen" holds "on" (loopback, our port), "ADDRESS:PORT" or "off". Without it the
// endpoint is off.
namespace EndpointSettings {

constexpr char kListenKey[] = "Endpoint/Listen";

/// The stored address; off when none is stored. A text that cannot be read is logged once
/// and counts as off.
ListenAddress listen();

} // namespace EndpointSettings
