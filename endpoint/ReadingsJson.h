#pragma once
#include "endpoint/EndpointPass.h"

#include <QByteArray>

// One pass as JSON: the sensors with their readings (kind, name, value, unit), which reading
// feeds each value of the display, the memory and drive figures, the time and the version.
// Qt's writer escapes quotes, backslashes and control characters and keeps UTF-8; a value
// that is not a finite number is null.
namespace Endpoint {

constexpr char kJsonContentType[] = "application/json";

QByteArray readingsJson(const EndpointPass &pass);

} // namespace Endpoint
