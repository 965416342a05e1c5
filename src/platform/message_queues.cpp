#include "platform/message_queues.h"

#include <algorithm>

namespace platform {

void MessageQueues::open(WindowHandle window, WindowProcedure procedure) {
    queues.push_back({window, procedure, {}});
}

void MessageQueues::close(WindowHandle window) {
    std::erase_if(queues, [window](const Queue& queue) { return queue.window == window; });
}

bool MessageQueues::post(const Message& message) {
    Queue* queue = find(message.window);
    if (queue == nullptr) {
        return false;
    }
    queue->messages.push_back(message);
    return true;
}

void MessageQueues::postToAll(std::uint32_t message) {
    for (Queue& queue : queues) {
        queue.messages.push_back({queue.window, message, 0, 0});
    }
}

bool MessageQueues::peek(Message& message, WindowHandle window) {
    for (Queue& queue : queues) {
        if ((window == nullptr || queue.window == window) && !queue.messages.empty()) {
            message = queue.messages.front();
            queue.messages.pop_front();
            return true;
        }
    }
    return false;
}

bool MessageQueues::empty() const {
    return std::all_of(queues.begin(), queues.end(),
                       [](const Queue& queue) { return queue.messages.empty(); });
}

MessageResult MessageQueues::send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) const {
    const Queue* queue = find(window);
    return queue ? queue->procedure(window, message, wParam, lParam) : 0;
}

MessageQueues::Queue* MessageQueues::find(WindowHandle window) {
    const auto found = std::find_if(queues.begin(), queues.end(), [window](const Queue& queue) {
        return queue.window == window;
    });
    return found == queues.end() ? nullptr : &*found;
}

const MessageQueues::Queue* MessageQueues::find(WindowHandle window) const {
    return const_cast<MessageQueues*>(this)->find(window);
}

} // namespace platform
