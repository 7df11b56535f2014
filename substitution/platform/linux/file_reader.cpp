#include "substitution/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mardovane {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

FileError error_from_errno(int error, const std::filesystem::path& path, FileRole role) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return file_error(missing ? FileProblem::Missing : FileProblem::Unreadable, role, path,
                      std::strerror(error));
}

}  // namespace

std::variant<std::string, FileError> read_whole_file(const std::filesystem::path& path,
                                                     FileRole role) {
    // O_NONBLOCK so that a FIFO in the file's place cannot hang the program before the
    // regular-file check below turns it away.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return error_from_errno(errno, path, role);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return error_from_errno(errno, path, role);
    }
    if (!S_ISREG(info.st_mode)) {
        return file_error(FileProblem::NotRegularFile, role, path);
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
            return error_from_errno(errno, path, role);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace mardovane
