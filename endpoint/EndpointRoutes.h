#pragma once
#include "endpoint/EndpointPass.h"

#include <QByteArray>

// What the endpoint answers to one request, decided without any network code: GET and HEAD
// of /metrics and /readings.json; 405 for other methods, 404 for other paths, 503 before the
// first pass. The caller leaves out the body of a HEAD answer.
struct EndpointReply
{
    int status = 404;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QByteArray allow; // set with 405
};

namespace Endpoint {

/// \a path without its query. \a pass may be null.
EndpointReply answer(const QByteArray &method, const QByteArray &path, const EndpointPass *pass);

} // namespace Endpoint
