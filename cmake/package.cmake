# The downloads: `cpack -G DEB` on Linux, a Debian package whose dependencies come from
# dpkg-shlibdeps; `cpack -G ZIP` on a Windows build, one folder to unpack anywhere.
set(CPACK_PACKAGE_NAME mardovane)
set(CPACK_PACKAGE_VERSION ${MARDOVANE_DISPLAY_VERSION})
set(CPACK_PACKAGE_VENDOR "Mardovane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Splits Chinese characters into their components, for fun")
set(CPACK_PACKAGE_CONTACT "Mardovane developers <dev@mardovane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MARDOVANE_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "Mardovane-${MARDOVANE_DISPLAY_VERSION}-win64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    include(CPack)
    return()
endif()

set(CPACK_GENERATOR DEB)
# The extended description; CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Paste a Chinese text into the window and click 拆分文字 (split text):
every character that the keyword table knows is replaced by the
characters it is written from, as 好 becomes 女子 and 湖 becomes 氵胡.
A second click splits one level further, and 复制全部 (copy all) puts
the result on the clipboard.
.
The table is a plain text file, /etc/mardovane/keyword.info, that anyone
can edit; a fuller table is in /usr/share/mardovane/tables. The command
mardovane-split does the same for files and pipes. For entertainment
only: please do not use the output in formal documents.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (the context menu) in the desktop's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The edited table survives upgrades, and goes only with a purge.
file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles "/etc/mardovane/keyword.info\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/conffiles)
include(CPack)
