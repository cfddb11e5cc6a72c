// The HTTP module (libtarnix-http.so, tarnix-http.dll): cpp-httplib on threads of its own,
// bounded.
#include "endpoint/HttpBackend.h"

#include <httplib.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#endif

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

// The library's default is SO_REUSEPORT alone on Linux, which lets a second process of the
// same user bind the same port and take half of the connections, with no error for either;
// on Windows it is SO_REUSEADDR, which lets any process take the port over. Here a port in
// use is an error for the second. The socket is not inherited by a program started from
// here (the restart after a crash), which would keep the port.
void listeningSocketOptions(socket_t sock)
{
    int yes = 1;
#ifdef _WIN32
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&yes),
               sizeof yes);
    SetHandleInformation(reinterpret_cast<HANDLE>(sock), HANDLE_FLAG_INHERIT, 0);
#else
    // SO_REUSEADDR still allows a quick restart over connections in TIME_WAIT.
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<void *>(&yes), sizeof yes);
    fcntl(sock, F_SETFD, fcntl(sock, F_GETFD) | FD_CLOEXEC);
#endif
}

} // namespace

class HttplibBackend : public HttpBackend
{
public:
    HttplibBackend(const HttpLimits &limits, HttpHandler handler)
        : limits(limits), handler(std::move(handler))
    {
        configure();
    }
    ~HttplibBackend() override { stop(); }

    int bind(const std::string &host, int port) override
    {
        if (port == 0)
            return server.bind_to_any_port(host);
        return server.bind_to_port(host, port) ? port : -1;
    }

    void serve() override
    {
        pool = std::make_shared<BoundedPool>(limits.workers, limits.queued);
        listenerDone = false;
        listener = std::thread([this] {
            server.listen_after_bind();
            listenerDone = true;
        });
    }

    void stop() override
    {
        if (!listener.joinable())
            return;
        // The library ignores stop() until its loop runs, which starts just after serve().
        while (!server.is_running() && !listenerDone)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
        pool->release();
        listener.join();
        pool.reset();
    }

private:
    void configure();

    const HttpLimits limits;
    const HttpHandler handler;
    httplib::Server server;
    std::thread listener;
    std::shared_ptr<BoundedPool> pool; // made by serve(), before the listener
    std::atomic<bool> listenerDone{false};
};

void HttplibBackend::configure()
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
            const HttpAnswer answer = handler(request.method, request.path);
            response.status = answer.status;
            if (!answer.allow.empty())
                response.set_header("Allow", answer.allow);
            response.set_content(answer.body, answer.contentType);
            return httplib::Server::HandlerResponse::Handled;
        });
}

#ifdef _WIN32
#define TARNIX_HTTP_EXPORT __declspec(dllexport)
#else
#define TARNIX_HTTP_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TARNIX_HTTP_EXPORT HttpBackend *tarnixHttpBackendCreate(const HttpLimits &limits,
                                                                   HttpHandler handler)
{
    return new HttplibBackend(limits, std::move(handler));
}
