#include "window/common/detached_thread.h"

#include <process.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <system_error>
#include <utility>

namespace mardovane {
namespace {

unsigned __stdcall run_body(void* parameter) noexcept {
    const std::unique_ptr<std::function<void()>> body(
        static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

void start_detached_thread(std::function<void()> body) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    const std::uintptr_t handle = _beginthreadex(nullptr, 0, run_body, owned.get(), 0, nullptr);
    if (handle == 0) {
        throw std::system_error(errno, std::generic_category(), "_beginthreadex");
    }
    (void)owned.release();  // the thread owns it now
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace mardovane
