#include "endpoint/EndpointServer.h"

#include "endpoint/EndpointRoutes.h"

#include <QDebug>

#include <httplib.h>

#include <fcntl.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// httplib's own pool queues without limit; this one makes the accepting thread wait while
// `queued` connections already wait, so the kernel's backlog, not our memory, takes the rest.
class BoundedPool : public httplib::TaskQueue
{
public:
    BoundedPool(int workers, int queued) : maxQueued(size_t(queued))
    {
        for (int i = 0; i < workers; ++i)
            threads.emplace_back([this] { work(); });
    }

    void enqueue(std::function<void()> task) override
    {
        std::unique_lock<std::mutex> lock(mutex);
        roomFree.wait(lock, [this] { return jobs.size() < maxQueued || releasing; });
        jobs.push_back(std::move(task));
        jobAdded.notify_one();
    }

    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        jobAdded.notify_all();
        for (std::thread &thread : threads)
            thread.join();
    }

    // Lets a waiting enqueue() through, so the accepting thread can see the server stop.
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            releasing = true;
        }
        roomFree.notify_all();
    }

private:
    void work()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex);
                jobAdded.wait(lock, [this] { return !jobs.empty() || ending; });
                if (jobs.empty())
                    return;
                task = std::move(jobs.front());
                jobs.pop_front();
            }
            roomFree.notify_one();
            task();
        }
    }

    const size_t maxQueued;
    std::vector<std::thread> threads;
    std::deque<std::function<void()>> jobs;
    std::mutex mutex;
    std::condition_variable jobAdded;
    std::condition_variable roomFree;
    bool releasing = false;
    bool ending = false;
};

// What the library owns and deletes when it stops listening; the pool itself lives on with
// the server, so stop() may still reach it.
class PoolHandle : public httplib::TaskQueue
{
public:
    explicit PoolHandle(std::shared_ptr<BoundedPool> pool) : pool(std::move(pool)) {}
    void enqueue(std::function<void()> task) override { pool->enqueue(std::move(task)); }
    void shutdown() override { pool->shutdown(); }

private:
    std::shared_ptr<BoundedPool> pool;
};

// The library's default on Linux is SO_REUSEPORT alone, which lets a second process of the
// same user bind the same port and take half of the connections, with no error for either.
// SO_REUSEADDR still allows a quick restart over connections in TIME_WAIT. Not inherited by
// a program started from here (the restart after a crash), which would keep the port.
void listeningSocketOptions(socket_t sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<void *>(&yes), sizeof yes);
    fcntl(sock, F_SETFD, fcntl(sock, F_GETFD) | FD_CLOEXEC);
}

} // namespace

struct EndpointServer::Private
{
    Limits limits;
    httplib::Server server;
    std::thread listener;
    std::shared_ptr<BoundedPool> pool; // made by start(), before the listener
    std::atomic<bool> listenerDone{false};
    int boundPort = 0;
    EndpointPassPtr pass; // read and written with std::atomic_load / std::atomic_store

    void configure();
    void answer(const httplib::Request &request, httplib::Response &response);
};

void EndpointServer::Private::configure()
{
    server.new_task_queue = [this] { return new PoolHandle(pool); };
    const time_t seconds = limits.timeoutSeconds;
    server.set_read_timeout(seconds, 0);
    server.set_write_timeout(seconds, 0);
    server.set_keep_alive_timeout(seconds);
    server.set_keep_alive_max_count(size_t(limits.keepAliveRequests));
    server.set_payload_max_length(0);
    server.set_socket_options(listeningSocketOptions);
    // Every request is answered here, before the library would read a body or look for files.
    server.set_pre_routing_handler(
        [this](const httplib::Request &request, httplib::Response &response) {
            answer(request, response);
            return httplib::Server::HandlerResponse::Handled;
        });
}

void EndpointServer::Private::answer(const httplib::Request &request, httplib::Response &response)
{
    const EndpointPassPtr current = std::atomic_load(&pass);
    const EndpointReply reply =
        Endpoint::answer(QByteArray::fromStdString(request.method),
                         QByteArray::fromStdString(request.path), current.get());
    response.status = reply.status;
    if (!reply.allow.isEmpty())
        response.set_header("Allow", reply.allow.toStdString());
    response.set_content(reply.body.constData(), size_t(reply.body.size()),
                         reply.contentType.constData());
}

EndpointServer::EndpointServer() : EndpointServer(Limits()) {}

EndpointServer::EndpointServer(const Limits &limits) : d(new Private)
{
    d->limits = limits;
    d->configure();
}

EndpointServer::~EndpointServer()
{
    stop();
}

bool EndpointServer::available()
{
    return true;
}

bool EndpointServer::start(const ListenAddress &address)
{
    if (!address.valid || !address.enabled || d->listener.joinable())
        return false;
    const std::string host = address.host.toStdString();
    const int port = address.port == 0
                         ? d->server.bind_to_any_port(host)
                         : (d->server.bind_to_port(host, address.port) ? address.port : -1);
    if (port <= 0) {
        qDebug().noquote() << QStringLiteral(
                                  "Endpoint -> cannot listen on %1: the address is in use or "
                                  "not available; the display is fed as before, without "
                                  "the endpoint (choose another ADDRESS:PORT)")
                                  .arg(address.text());
        return false;
    }
    d->boundPort = port;
    ListenAddress bound = address;
    bound.port = quint16(port);
    qDebug().noquote() << QStringLiteral("Endpoint -> serving http://%1/metrics and /readings.json")
                              .arg(bound.text());
    if (!address.isLoopback())
        qDebug().noquote() << QStringLiteral(
                                  "Endpoint -> %1 is not a loopback address and the endpoint "
                                  "has no authentication: anyone who reaches it can read "
                                  "the readings")
                                  .arg(bound.text());
    d->pool = std::make_shared<BoundedPool>(d->limits.workers, d->limits.queued);
    d->listenerDone = false;
    d->listener = std::thread([this] {
        d->server.listen_after_bind();
        d->listenerDone = true;
    });
    return true;
}

void EndpointServer::stop()
{
    if (!d->listener.joinable())
        return;
    // The library ignores stop() until its loop runs, which starts just after start().
    while (!d->server.is_running() && !d->listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    d->server.stop();
    d->pool->release();
    d->listener.join();
    d->pool.reset();
    d->boundPort = 0;
}

bool EndpointServer::isListening() const
{
    return d->listener.joinable();
}

quint16 EndpointServer::port() const
{
    return quint16(d->boundPort);
}

void EndpointServer::publish(EndpointPassPtr pass)
{
    std::atomic_store(&d->pass, std::move(pass));
}

EndpointPassPtr EndpointServer::latest() const
{
    return std::atomic_load(&d->pass);
}
