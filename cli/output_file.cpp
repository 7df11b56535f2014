#include "cli/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <random>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "substitution/paths.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace mardovane::cli {
namespace {

#ifndef _WIN32
// The temporary file that a signal must not leave behind. A plain array and a flag, since
// a signal handler may touch nothing else.
char pending_temporary[4096];
volatile std::sig_atomic_t temporary_pending = 0;

extern "C" void remove_temporary_and_end(int signal_number) {
    if (temporary_pending != 0) {
        ::unlink(pending_temporary);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);  // delivered once the handler returns: the usual death
}

void remove_on_signals(const std::filesystem::path& temporary) {
    const std::string& name = temporary.native();
    if (name.size() >= sizeof pending_temporary) {
        return;
    }
    std::memcpy(pending_temporary, name.c_str(), name.size() + 1);
    temporary_pending = 1;
    // Every signal whose default ends the process, but the faults (the file size limit's
    // SIGXFSZ is ignored, and a failed write reports it).
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
                                    SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL}) {
        struct sigaction old {};
        sigaction(signal_number, nullptr, &old);
        if (old.sa_handler == SIG_IGN) {
            continue;  // started under nohup, say: it stays ignored
        }
        struct sigaction action {};
        action.sa_handler = remove_temporary_and_end;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
}

void keep_on_signals() {
    temporary_pending = 0;
}

int open_existing_for_writing(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
}
#else
void remove_on_signals(const std::filesystem::path&) {}
void keep_on_signals() {}
#endif

std::string describe_errno(const std::filesystem::path& path, const char* what, int error) {
    return one_line_path(path) + ": " + what + ": " + system_message(error);
}

#ifndef _WIN32
// Where writing `path` ends up, as the shell's `>` goes: through every symbolic link, to a
// file that may not exist yet. Empty when the links go round in a loop (or a chain too
// long to tell from one).
std::filesystem::path through_links(const std::filesystem::path& path) {
    std::filesystem::path name = path;
    for (int links = 0; links < 40; ++links) {
        struct stat status {};
        if (::lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return name;
        }
        std::error_code error;
        const auto target = std::filesystem::read_symlink(name, error);
        if (error) {
            return name;
        }
        name = target.is_absolute() ? target : name.parent_path() / target;
    }
    return {};
}
#endif

}  // namespace

OutputFile::OutputFile(const std::filesystem::path& path) : path_(path), target_(path) {
#ifndef _WIN32
    target_ = through_links(path);
    if (target_.empty()) {
        open_error_ = one_line_path(path_) + ": the symbolic links to the output file form a loop";
        return;
    }
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            // A device, a FIFO or a socket: written as it is, never replaced by a file.
            file_ = FileDescriptor(open_existing_for_writing(target_));
            if (file_.get() < 0) {
                open_error_ = describe_errno(path_, "cannot open the output", errno);
            }
            buffer_.attach(file_.get());
            return;
        }
        open_beside(target_, true);
        if (file_.get() >= 0) {
            // The mode exactly (the umask narrowed it), then the owner and group where this
            // process may give them; chown can clear the set-id bits, so the mode again.
            if (::fchown(file_.get(), existing.st_uid, existing.st_gid) != 0 &&
                ::fchown(file_.get(), static_cast<uid_t>(-1), existing.st_gid) != 0) {
                ownership_warning_ = one_line_path(path_) +
                                     ": the result now belongs to this user and group, "
                                     "not to the file's owner and group";
            } else if (::getuid() != 0 && existing.st_uid != ::geteuid()) {
                ownership_warning_ = one_line_path(path_) +
                                     ": the result now belongs to this user, not to the "
                                     "file's owner";
            }
            ::fchmod(file_.get(), existing.st_mode & 07777);
        }
        return;
    }
    open_beside(target_, false);
#else
    open_beside(target_, std::filesystem::exists(target_));
#endif
}

namespace {

constexpr std::string_view kTemporaryMark = ".mardovane-";
// What a file system takes for a name: 255 bytes on Linux, 255 UTF-16 units on Windows.
constexpr std::size_t kLongestName = 255;

// The output's name, shortened where it is long, so that "." NAME ".mardovane-" and eight
// digits stay a name the file system takes; cut between two characters. A Windows name
// counts UTF-16 units, and a Unix file system under it (Wine, a share) UTF-8 bytes: a
// character costs its UTF-8 bytes, which is never fewer than its units.
std::filesystem::path temporary_stem(const std::filesystem::path& name) {
    using Unit = std::filesystem::path::value_type;
    constexpr std::size_t kRoom = kLongestName - 1 - kTemporaryMark.size() - 8;
    const auto& whole = name.native();
    std::size_t used = 0;
    std::size_t cut = 0;
    while (cut < whole.size()) {
        const auto unit =
            static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Unit>>(whole[cut]));
        std::size_t length = 1;
        std::size_t cost = 1;
        if constexpr (sizeof(Unit) == 1) {
            while (cut + length < whole.size() &&
                   (static_cast<unsigned char>(whole[cut + length]) & 0xC0) == 0x80) {
                ++length;
            }
            cost = length;
        } else {
            const bool pair = unit >= 0xD800 && unit <= 0xDBFF && cut + 1 < whole.size();
            length = pair ? 2 : 1;
            cost = pair ? 4 : unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        }
        if (used + cost > kRoom) {
            break;
        }
        used += cost;
        cut += length;
    }
    return cut == whole.size() ? name : std::filesystem::path(whole.substr(0, cut));
}

}  // namespace

void OutputFile::open_beside(const std::filesystem::path& final_path, bool existed) {
#ifndef _WIN32
    struct stat existing {};
    const mode_t mode =
        existed && ::stat(final_path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666;
#else
    (void)existed;
    const int mode = 0;
#endif
    std::random_device random;
    const std::filesystem::path name = temporary_stem(final_path.filename());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path leaf(".");
        leaf += name;
        leaf += std::string(kTemporaryMark) + std::to_string(random() % 100000000);
        const std::filesystem::path candidate = final_path.parent_path() / leaf;
        file_ = FileDescriptor(open_new_file(candidate, static_cast<unsigned>(mode)));
        if (file_.get() >= 0) {
            temporary_ = candidate;
            remove_on_signals(temporary_);
            buffer_.attach(file_.get());
            return;
        }
        if (errno != EEXIST) {
            // Named as the user named it: the temporary name means nothing to them.
            open_error_ = describe_errno(path_, "cannot create the output file", errno);
            return;
        }
    }
    open_error_ = one_line_path(path_) + ": no free temporary name beside the output file";
}

OutputFile::~OutputFile() {
    if (!committed_ && !temporary_.empty()) {
        file_.close();
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        keep_on_signals();
    }
}

std::string OutputFile::commit(std::string& warning) {
    if (buffer_.error() != 0) {
        return describe_errno(path_, "cannot write the output file", buffer_.error());
    }
    if (temporary_.empty()) {
        if (const int error = file_.close(); error != 0) {
            return describe_errno(path_, "cannot write the output", error);
        }
        committed_ = true;
        return {};
    }
    if (const int error = sync_to_disk(file_.get()); error != 0) {
        return describe_errno(path_, "cannot write the output file", error);
    }
    if (const int error = file_.close(); error != 0) {
        return describe_errno(path_, "cannot write the output file", error);
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        return one_line_path(path_) + ": cannot replace the output file: " + error.message();
    }
    committed_ = true;
    keep_on_signals();
    warning = ownership_warning_;
    return {};
}

}  // namespace mardovane::cli
