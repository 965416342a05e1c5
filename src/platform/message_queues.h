#pragma once

#include "platform/messages.h"

#include <deque>
#include <vector>

namespace platform {

// The per-window message queues of a window system that has none of its own, and the peek, post
// and dispatch over them.
class MessageQueues {
public:
    // A new window's empty queue; its messages go to procedure.
    void open(WindowHandle window, WindowProcedure procedure);
    // Drops the window's queue with whatever it still held.
    void close(WindowHandle window);

    // Appends to the window's queue; false for a window without one.
    bool post(const Message& message);
    // Posts the message to every window, oldest first.
    void postToAll(std::uint32_t message);
    // Takes the next message for window, or for any window when null, the oldest window first.
    bool peek(Message& message, WindowHandle window);
    bool empty() const;

    // Calls the window's procedure with the message at once; 0 for a window without a queue.
    MessageResult send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) const;
    MessageResult dispatch(const Message& message) const {
        return send(message.window, message.message, message.wParam, message.lParam);
    }

private:
    struct Queue {
        WindowHandle window = nullptr;
        WindowProcedure procedure = nullptr;
        std::deque<Message> messages;
    };

    Queue* find(WindowHandle window);
    const Queue* find(WindowHandle window) const;

    std::vector<Queue> queues;
};

} // namespace platform
