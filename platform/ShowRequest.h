#pragma once
#include <functional>
#include <memory>

// A copy refused by the single-instance lock asks the running copy to show its window,
// so starting the program again from a menu brings it up instead of doing nothing. Both
// ends are the same user's, in the same session.
class ShowRequestListener
{
public:
    // onRequest runs on the thread that made the listener, from its event loop.
    explicit ShowRequestListener(std::function<void()> onRequest);
    ~ShowRequestListener();
    ShowRequestListener(const ShowRequestListener &) = delete;
    ShowRequestListener &operator=(const ShowRequestListener &) = delete;

    bool isListening() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl;
};

namespace ShowRequest {
// Asks the running copy to show its window; false when no copy is listening.
bool send();
} // namespace ShowRequest
