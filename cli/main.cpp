#include <iostream>
#include <string>
#include <vector>

#include "cli/splitter.h"
#include "substitution/program_directory.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return mardovane::cli::run_splitter(arguments, std::cin, std::cout, std::cerr,
                                        mardovane::program_directory());
}
