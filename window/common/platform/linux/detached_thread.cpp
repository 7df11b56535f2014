#include "window/common/detached_thread.h"

#include <thread>
#include <utility>

namespace mardovane {

void start_detached_thread(std::function<void()> body) {
    std::thread(std::move(body)).detach();
}

}  // namespace mardovane
