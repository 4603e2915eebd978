// The installed host and the tests' call hook: what every other file of the port asks.
#include "internal.h"

namespace {
const PortHost* current = nullptr;
long (*callHook)(const PortCall&) = nullptr;
} // namespace

void PortSetHost(const PortHost* host) {
    current = host;
}

void PortSetCallHook(long (*hook)(const PortCall&)) {
    callHook = hook;
}

namespace port {

const PortHost& Host() {
    return *current;
}

long (*CallHook())(const PortCall&) {
    return callHook;
}

} // namespace port
