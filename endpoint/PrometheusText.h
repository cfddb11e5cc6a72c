#pragma once
#include "endpoint/EndpointPass.h"

#include <QByteArray>

// The Prometheus text exposition (format 0.0.4) of one pass. Every number is written without
// the locale; label values are escaped as the format asks (backslash, quote, newline).
namespace Endpoint {

constexpr char kPrometheusContentType[] = "text/plain; version=0.0.4; charset=utf-8";

QByteArray prometheusText(const EndpointPass &pass);

/// A sample value: the shortest text that reads back as the same double; "NaN", "+Inf", "-Inf".
QByteArray sampleValue(double value);
/// A label value between its quotes.
QByteArray escapeLabelValue(const QString &value);

} // namespace Endpoint
