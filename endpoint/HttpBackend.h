#pragma once
// The interface between the endpoint and its HTTP module (libtarnix-http.so), which alone
// links the HTTP library: that library pulls in OpenSSL and initialises it when loaded, which
// a Tarnix with the endpoint off should not pay for. Plain C++ types only.
#include <functional>
#include <string>

struct HttpAnswer
{
    int status = 404;
    std::string contentType;
    std::string body;
    std::string allow; // the Allow header, when not empty
};

// Called on the module's worker threads for every request.
using HttpHandler = std::function<HttpAnswer(const std::string &method, const std::string &path)>;

struct HttpLimits
{
    int workers = 4;
    int queued = 16;        // accepted connections waiting for a worker
    int timeoutSeconds = 3; // read, write and keep-alive idle
    int keepAliveRequests = 20;
};

class HttpBackend
{
public:
    virtual ~HttpBackend() = default;
    /// The bound port (chosen by the system for 0), or -1.
    virtual int bind(const std::string &host, int port) = 0;
    /// Serves on threads of its own after bind().
    virtual void serve() = 0;
    /// Closes the socket and joins every thread.
    virtual void stop() = 0;
};

#define TARNIX_HTTP_MODULE_ENTRY "tarnixHttpBackendCreate"
using HttpBackendCreate = HttpBackend *(*)(const HttpLimits &limits, HttpHandler handler);
