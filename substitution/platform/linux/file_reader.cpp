#include "substitution/file_reader.h"

#include "substitution/file_descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mardovane {

std::variant<std::string, FileError> read_whole_file(const std::filesystem::path& path,
                                                     FileKinds kinds) {
    // O_NONBLOCK so that a FIFO in the file's place cannot hang the program before the
    // regular-file check below turns it away.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return file_error_from_errno(errno, path);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return file_error_from_errno(errno, path);
    }
    if (S_ISFIFO(info.st_mode) && kinds == FileKinds::PipesToo) {
        // Opened again to wait for its writer: without one, a pipe opened without waiting
        // reads as empty at once.
        file = FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.get() < 0) {
            return file_error_from_errno(errno, path);
        }
    } else if (!S_ISREG(info.st_mode)) {
        return file_error(FileProblem::NotRegularFile, path);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return file_error_from_errno(errno, path);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace mardovane
