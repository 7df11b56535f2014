#include <iostream>
#include <string>
#include <vector>

#include "cli/splitter.h"
#include "cli/system_io.h"
#include "substitution/program_directory.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <variant>

#include "substitution/text_codec.h"

// Windows hands the arguments over in UTF-16; the splitter takes UTF-8, and its input and
// output are bytes, with no line-end translation.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::u16string wide(reinterpret_cast<const char16_t*>(argv[i]));
        auto utf8 = mardovane::encode_utf8(wide);
        arguments.push_back(std::holds_alternative<std::string>(utf8) ? std::get<std::string>(utf8)
                                                                      : std::string());
    }
#else
#include <malloc.h>

#include <csignal>

int main(int argc, char** argv) {
    // A closed standard output must not be taken by the input file, and the file size
    // limit must end the run as a write error that removes the temporary file, not kill it.
    mardovane::cli::hold_standard_descriptors();
    std::signal(SIGXFSZ, SIG_IGN);
    // Each block allocates a few MiB and frees them again; glibc would map and unmap them
    // afresh every time, and the page faults cost more than the conversions. Kept in the
    // heap instead, the memory is reused by the next block.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    // Standard input and output through the system's own calls, which keep the reason of a
    // failure; std::cin and std::cout would lose it.
    mardovane::cli::FdInputBuffer input(0);
    mardovane::cli::FdOutputBuffer output(1);
    std::istream in(&input);
    std::ostream out(&output);
    return mardovane::cli::run_splitter(arguments, in, out, std::cerr,
                                        mardovane::program_directory());
}
