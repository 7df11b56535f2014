#pragma once

#include <functional>

namespace mardovane {

// Runs `body` on a new thread that nobody joins. Throws std::system_error when no thread
// can be had; `body` itself must not throw.
//
// On Windows this is a thread of the C runtime's own: with MinGW's pthreads, a detached
// std::thread that ends quickly can lose its start routine, so that it never runs or
// crashes reading a freed state.
void start_detached_thread(std::function<void()> body);

}  // namespace mardovane
