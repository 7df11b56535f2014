#include "substitution/file_descriptor.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mardovane {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        (void)close();
        fd_ = other.release();
    }
    return *this;
}

int FileDescriptor::close() {
    if (fd_ < 0) {
        return 0;
    }
#ifdef _WIN32
    const int result = _close(release());
#else
    const int result = ::close(release());
#endif
    return result == 0 ? 0 : errno;
}

}  // namespace mardovane
