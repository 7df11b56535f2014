#include "cli/system_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace mardovane::cli {
namespace {

#ifdef _WIN32
using FileStatus = struct _stat64;
int status_of(int fd, FileStatus& status) {
    return _fstat64(fd, &status);
}
int open_for_reading(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
long long system_read(int fd, char* buffer, std::size_t count) {
    return _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
long long system_write(int fd, const char* bytes, std::size_t count) {
    return _write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
#else
using FileStatus = struct stat;
int status_of(int fd, FileStatus& status) {
    return ::fstat(fd, &status);
}
int open_for_reading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}
long long system_read(int fd, char* buffer, std::size_t count) {
    return ::read(fd, buffer, count);
}
long long system_write(int fd, const char* bytes, std::size_t count) {
    return ::write(fd, bytes, count);
}
#endif

}  // namespace

std::string system_message(int error) {
    return std::strerror(error);
}

std::variant<FileDescriptor, FileError> open_input_file(const std::filesystem::path& path) {
    FileDescriptor file(open_for_reading(path));
    if (file.get() < 0) {
        const int error = errno;
#ifdef _WIN32
        // Windows refuses to open a folder at all, as access denied.
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            return file_error(FileProblem::NotRegularFile, path);
        }
#endif
        return file_error_from_errno(error, path);
    }
    FileStatus status{};
    if (status_of(file.get(), status) != 0) {
        return file_error_from_errno(errno, path);
    }
    if ((status.st_mode & S_IFMT) == S_IFDIR) {
        return file_error(FileProblem::NotRegularFile, path);
    }
    return file;
}

int open_new_file(const std::filesystem::path& path, unsigned mode) {
#ifdef _WIN32
    (void)mode;
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
#endif
}

std::string describe_input(const FileError& error) {
    return describe(error, "the input file");
}

int sync_to_disk(int fd) {
#ifdef _WIN32
    return _commit(fd) == 0 ? 0 : errno;
#else
    // A file system that cannot sync (EINVAL) holds nothing more to write.
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
#endif
}

bool same_regular_file(int first, int second) {
    FileStatus one{};
    FileStatus other{};
    if (status_of(first, one) != 0 || status_of(second, other) != 0) {
        return false;
    }
#ifdef _WIN32
    return false;  // Windows' descriptors carry no inode to compare
#else
    return S_ISREG(one.st_mode) && S_ISREG(other.st_mode) && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
#endif
}

#ifdef _WIN32
int own_descriptor_named(const std::filesystem::path&) {
    return -1;  // Windows has no names for a process's descriptors
}

void hold_standard_descriptors() {}
#else
int own_descriptor_named(const std::filesystem::path& path) {
    std::error_code error;
    std::vector<std::filesystem::path> own_folders;
    for (const char* folder : {"/proc/self/fd", "/proc/thread-self/fd"}) {
        if (auto own = std::filesystem::canonical(folder, error); !error) {
            own_folders.push_back(std::move(own));
        }
    }
    std::filesystem::path name = path;
    for (int links = 0; links < 40; ++links) {
        const std::filesystem::path parent =
            name.has_parent_path() ? name.parent_path() : std::filesystem::path(".");
        const auto folder = std::filesystem::canonical(parent, error);
        if (!error &&
            std::find(own_folders.begin(), own_folders.end(), folder) != own_folders.end()) {
            int fd = -1;
            const std::string leaf = name.filename().string();
            const auto [end, failed] = std::from_chars(leaf.data(), leaf.data() + leaf.size(), fd);
            const bool open = failed == std::errc() && end == leaf.data() + leaf.size() &&
                              ::fcntl(fd, F_GETFD) != -1;
            return open ? fd : -1;
        }
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(name, error)) || error) {
            return -1;
        }
        const auto target = std::filesystem::read_symlink(name, error);
        if (error) {
            return -1;
        }
        name = target.is_absolute() ? target : parent / target;
    }
    return -1;
}

void hold_standard_descriptors() {
    for (const int fd : {0, 1, 2}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: this one, since the ones before it are open.
            const int held = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
            if (held >= 0 && held != fd) {
                ::close(held);
            }
        }
    }
}
#endif

bool may_wait_for_input(int fd) {
    FileStatus status{};
    if (status_of(fd, status) != 0) {
        return false;
    }
    const auto type = status.st_mode & S_IFMT;
    return type != S_IFREG && type != S_IFDIR;
}

bool input_ready(int fd, int milliseconds) {
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    switch (GetFileType(handle)) {
        case FILE_TYPE_PIPE: {
            // A pipe cannot be waited on: it is looked at every millisecond until bytes
            // come, the time is up or the writer has gone (then the read says so).
            const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
            for (;;) {
                DWORD available = 0;
                if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) ||
                    available > 0) {
                    return true;
                }
                if (GetTickCount64() >= deadline) {
                    return false;
                }
                Sleep(1);
            }
        }
        case FILE_TYPE_CHAR:  // a console: signalled while it holds input
            return WaitForSingleObject(handle, static_cast<DWORD>(milliseconds)) != WAIT_TIMEOUT;
        default:
            return true;
    }
#else
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, milliseconds) > 0;
#endif
}

std::streamsize FdInputBuffer::read_some(char* buffer, std::size_t count) {
    for (;;) {
        const long long got = system_read(fd_, buffer, count);
        if (got >= 0) {
            return static_cast<std::streamsize>(got);
        }
        if (errno != EINTR) {
            error_ = errno;
            throw ReadFailed();
        }
    }
}

FdInputBuffer::int_type FdInputBuffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::streamsize got = read_some(buffer_, sizeof buffer_);
    if (got == 0) {
        return traits_type::eof();
    }
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

// Large reads go straight into the caller's buffer. Returns short only at the end of the
// input, as istream::read expects.
std::streamsize FdInputBuffer::xsgetn(char_type* buffer, std::streamsize count) {
    std::streamsize done = std::min<std::streamsize>(count, egptr() - gptr());
    if (done > 0) {
        std::memcpy(buffer, gptr(), static_cast<std::size_t>(done));
        gbump(static_cast<int>(done));
    }
    while (done < count) {
        const std::streamsize got =
            read_some(buffer + done, static_cast<std::size_t>(count - done));
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize FdOutputBuffer::xsputn(const char_type* bytes, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        const long long written =
            system_write(fd_, bytes + done, static_cast<std::size_t>(count - done));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            break;
        }
        done += static_cast<std::streamsize>(written);
    }
    return done;
}

std::string failure_reason(const std::streambuf* buffer) {
    int error = 0;
    if (const auto* in = dynamic_cast<const FdInputBuffer*>(buffer)) {
        error = in->error();
    } else if (const auto* out = dynamic_cast<const FdOutputBuffer*>(buffer)) {
        error = out->error();
    }
    return error == 0 ? std::string() : ": " + system_message(error);
}

}  // namespace mardovane::cli
