#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace mardovane::cli {

// The result file of --output: written beside its final place under a temporary name and
// renamed over it only once complete, so that the file is either the whole result or as
// it was. An existing file keeps its permissions. Dropped unfinished, it leaves nothing.
class OutputFile {
  public:
    explicit OutputFile(std::filesystem::path path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Empty, or why the temporary file could not be made.
    const std::string& open_error() const { return open_error_; }
    std::ostream& stream() { return stream_; }

    // Flushes, closes and renames; empty on success, else the reason.
    std::string commit();

  private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
    std::string open_error_;
    bool committed_ = false;
};

}  // namespace mardovane::cli
