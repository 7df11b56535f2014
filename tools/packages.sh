# The Debian packages the project needs, sourced by tools/run and tools/test.
build_packages=(g++ cmake make pkgconf)
test_packages=(libgtest-dev clang-format git)
