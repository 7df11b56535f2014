#include "substitution/file_reader.h"

#include "substitution/text_codec.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace mardovane {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// The system's message for an error code, in UTF-8.
std::string system_message(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (length > 0) {
        auto utf8 =
            encode_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
        if (auto* converted = std::get_if<std::string>(&utf8)) {
            message = std::move(*converted);
        }
        LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : message;
}

FileError error_from_code(DWORD error, const std::filesystem::path& path) {
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE;
    return file_error(missing ? FileProblem::Missing : FileProblem::Unreadable, path,
                      system_message(error));
}

}  // namespace

std::variant<std::string, FileError> read_whole_file(const std::filesystem::path& path,
                                                     FileKinds kinds) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return error_from_code(GetLastError(), path);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return file_error(FileProblem::NotRegularFile, path);
    }
    Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return error_from_code(GetLastError(), path);
    }
    const DWORD type = GetFileType(file.get());
    const bool pipe = type == FILE_TYPE_PIPE && kinds == FileKinds::PipesToo;
    if (type != FILE_TYPE_DISK && !pipe) {
        return file_error(FileProblem::NotRegularFile, path);  // a device or a pipe
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr)) {
            if (pipe && GetLastError() == ERROR_BROKEN_PIPE) {
                return bytes;  // its writer has closed it: the end
            }
            return error_from_code(GetLastError(), path);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, count);
    }
}

}  // namespace mardovane
