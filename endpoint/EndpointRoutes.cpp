#include "endpoint/EndpointRoutes.h"

#include "endpoint/PrometheusText.h"
#include "endpoint/ReadingsJson.h"

namespace {

EndpointReply text(int status, const QByteArray &body)
{
    EndpointReply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

} // namespace

namespace Endpoint {

EndpointReply answer(const QByteArray &method, const QByteArray &path, const EndpointPass *pass)
{
    if (method != "GET" && method != "HEAD") {
        EndpointReply reply = text(405, "Only GET and HEAD are answered here.\n");
        reply.allow = "GET, HEAD";
        return reply;
    }
    const bool metrics = path == "/metrics";
    const bool json = path == "/readings.json";
    if (path == "/")
        return text(200, "Tarnix: /metrics (Prometheus) and /readings.json\n");
    if (!metrics && !json)
        return text(404, "Not found: try /metrics or /readings.json\n");
    if (!pass)
        return text(503, "No sensor pass yet; ask again in a second.\n");
    EndpointReply reply;
    reply.status = 200;
    reply.contentType = metrics ? kPrometheusContentType : kJsonContentType;
    reply.body = metrics ? prometheusText(*pass) : readingsJson(*pass);
    return reply;
}

} // namespace Endpoint
