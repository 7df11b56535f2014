#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "cli/system_io.h"

namespace mardovane::cli {

// The result file of --output.
//
// A regular file (or a name not yet taken) is written beside its place under a temporary
// name, made exclusively with the file's mode from the start, synced and renamed over it
// only once complete: the file is either the whole result or as it was. It keeps its mode,
// and its owner and group where the process may give them. A symbolic link is followed:
// the file it points to is replaced (or made, where it does not exist yet, as the shell's
// `>` makes it), and the link stays; links in a loop are refused. A hard-linked file is
// replaced, not written in place: its other names keep the old text. Anything else (a
// device, a FIFO, a socket) is written directly, as `sort -o` and `cp` do, and never
// replaced.
//
// Dropped unfinished, or ended by SIGINT, SIGTERM, SIGHUP or SIGQUIT, it leaves no
// temporary file.
class OutputFile {
  public:
    explicit OutputFile(const std::filesystem::path& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Empty, or why the file could not be opened.
    const std::string& open_error() const { return open_error_; }
    std::ostream& stream() { return stream_; }
    int descriptor() const { return file_.get(); }

    // Finishes the file; empty on success, else the reason. `warning` is set when the
    // result could not be given the old file's owner or group.
    std::string commit(std::string& warning);

  private:
    void open_beside(const std::filesystem::path& final_path, bool existed);

    std::filesystem::path path_;       // as given, for messages
    std::filesystem::path target_;     // what is replaced: the path, its links followed
    std::filesystem::path temporary_;  // empty when writing directly
    FileDescriptor file_;
    FdOutputBuffer buffer_{-1};
    std::ostream stream_{&buffer_};
    std::string open_error_;
    std::string ownership_warning_;
    bool committed_ = false;
};

}  // namespace mardovane::cli
