#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <variant>

#include "substitution/file_descriptor.h"
#include "substitution/file_error.h"

namespace mardovane::cli {

// The system's words for an error number.
[[nodiscard]] std::string system_message(int error);

// Opens the splitter's input for reading, as the keyword file is opened: open, then look
// at what was opened, so that the message names the real cause (a folder the user may not
// enter is not a missing file). FIFOs, pipes and terminals are read too; a directory is not.
// describe_input() says what went wrong.
[[nodiscard]] std::variant<FileDescriptor, FileError> open_input_file(
    const std::filesystem::path& path);
[[nodiscard]] std::string describe_input(const FileError& error);

// Creates a file that must not exist yet (never one another process placed there), for
// writing, with `mode` (narrowed by the umask); -1 and errno on failure.
[[nodiscard]] int open_new_file(const std::filesystem::path& path, unsigned mode);

// Writes what the system holds of the file to the disk: 0, or the error number.
[[nodiscard]] int sync_to_disk(int fd);

// Whether two descriptors are the same regular file, as `cat f >> f` would make them.
[[nodiscard]] bool same_regular_file(int first, int second);

// The descriptor of this process's own that `path` names, through /dev/stdout and its kin,
// /dev/fd or /proc/self/fd, following symbolic links to get there; or -1. Written through
// that descriptor, such a name goes where the descriptor goes (appending, if it appends),
// not to the file it was opened on.
[[nodiscard]] int own_descriptor_named(const std::filesystem::path& path);

// Standard input, output and error, where closed, are opened on the null device the wrong
// way round (input for writing, output for reading): a file opened later cannot take their
// numbers and be taken for them, and using them fails as a closed one would.
void hold_standard_descriptors();

// A read of a file descriptor failed; FdInputBuffer::error() says why. An istream turns it
// into badbit; a caller of the buffer itself catches it.
struct ReadFailed : std::runtime_error {
    ReadFailed() : std::runtime_error("read failed") {}
};

// Whether the descriptor is a pipe, FIFO, terminal or socket, which may wait for more
// input, rather than a file, which never does.
[[nodiscard]] bool may_wait_for_input(int fd);

// Whether bytes can be read from `fd` within `milliseconds`.
[[nodiscard]] bool input_ready(int fd, int milliseconds);

// Reads a file descriptor with the system's own calls, keeping the system's reason for a
// failure (iostreams lose it, and errno may by then belong to another call). A read error
// reaches the istream as badbit.
class FdInputBuffer : public std::streambuf {
  public:
    explicit FdInputBuffer(int fd) : fd_(fd) {}
    int fd() const { return fd_; }
    int error() const { return error_; }  // 0, or the error number of the failed read

  protected:
    int_type underflow() override;
    std::streamsize xsgetn(char_type* buffer, std::streamsize count) override;

  private:
    std::streamsize read_some(char* buffer, std::size_t count);

    int fd_;
    int error_ = 0;
    char buffer_[1 << 16];
};

// Writes a file descriptor straight through, without a buffer of its own (the splitter
// writes large pieces), keeping the system's reason for a failure.
class FdOutputBuffer : public std::streambuf {
  public:
    explicit FdOutputBuffer(int fd) : fd_(fd) {}
    void attach(int fd) {
        fd_ = fd;
        error_ = 0;
    }
    int fd() const { return fd_; }
    int error() const { return error_; }  // 0, or the error number of the failed write

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* bytes, std::streamsize count) override;

  private:
    int fd_;
    int error_ = 0;
};

// ": " and the system's reason for a stream's failure where it has one, else nothing.
[[nodiscard]] std::string failure_reason(const std::streambuf* buffer);

}  // namespace mardovane::cli
