# The Debian packages the project needs, sourced by tools/run and tools/test.
build_packages=(g++ cmake make qt6-base-dev libicu-dev)
# A CJK font, so that the text box draws Chinese; Qt in the desktop's language.
run_packages=(fonts-noto-cjk qt6-translations-l10n)
# What tools/test-quick needs: the core, the splitter and the shared window code, no toolkit.
quick_packages=(g++ cmake make libicu-dev libgtest-dev googletest unicode-data bzip2)
test_packages=(libgtest-dev googletest clang-format git desktop-file-utils appstream
               dpkg-dev file xvfb xdotool xclip imagemagick lintian
               qt6-translations-l10n unicode-data bzip2)
# The Windows build: MinGW-w64 to compile, Wine to run its tests.
windows_packages=(g++-mingw-w64-x86-64-posix wine64 icoutils)
# The web page: Emscripten to compile it (with Node to run its tests, and acorn for its
# optimiser), Chromium and its driver to try it in a real browser.
# Debian's nginx to try the README's recipe in its own configuration.
web_packages=(emscripten node-acorn chromium chromium-driver python3-selenium librsvg2-bin
              nginx)
