# The Debian packages the project needs, sourced by tools/run and tools/test.
build_packages=(g++ cmake make qt6-base-dev)
# A CJK font, so that the text box draws Chinese.
run_packages=(fonts-noto-cjk)
test_packages=(libgtest-dev clang-format git desktop-file-utils appstream
               xvfb xdotool xclip imagemagick)
