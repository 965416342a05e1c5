#pragma once

#include "support/process.h"

#include <memory>
#include <string>

// An Xvfb screen of its own. The server picks a free display number itself and reports it, so
// servers started at the same moment by tests running side by side can never collide.
class IsolatedXServer {
public:
    IsolatedXServer(int width, int height);
    ~IsolatedXServer();
    IsolatedXServer(const IsolatedXServer&) = delete;
    IsolatedXServer& operator=(const IsolatedXServer&) = delete;

    // Empty when the server did not come up.
    const std::string& displayName() const { return name; }

private:
    std::string name;
    std::unique_ptr<ChildProcess> server;
};
