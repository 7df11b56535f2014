# Installed layout: the programs and their keyword tables together in one folder (they
# read keyword.info beside the executable), links to them on PATH, and the desktop files.
include(GNUInstallDirs)

if(WIN32)
    # A folder to copy anywhere: Mardovane.exe, mardovane-split.exe and the tables beside.
    install(TARGETS Mardovane mardovane-split RUNTIME DESTINATION .)
    install(FILES data/keyword.info NOTICE DESTINATION .)
    install(FILES data/tables/keyword-full.info DESTINATION tables)
    return()
endif()

set(MARDOVANE_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/mardovane" CACHE STRING
    "Folder, under the prefix, for the executables and keyword.info")

set(programs mardovane-split)
if(TARGET Mardovane)
    list(APPEND programs Mardovane)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${MARDOVANE_INSTALL_DIR})
install(FILES data/keyword.info DESTINATION ${MARDOVANE_INSTALL_DIR})
install(FILES data/tables/keyword-full.info DESTINATION ${MARDOVANE_INSTALL_DIR}/tables)

# bin/mardovane and bin/mardovane-split: relative symbolic links, so the tree can move.
function(mardovane_install_link link target)
    file(RELATIVE_PATH relative "/${CMAKE_INSTALL_BINDIR}" "/${MARDOVANE_INSTALL_DIR}/${target}")
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${link}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        message(STATUS \"Installing: \${link} -> ${relative}\")
        file(CREATE_LINK \"${relative}\" \"\${link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")")
endfunction()
mardovane_install_link(mardovane-split mardovane-split)
if(TARGET Mardovane)
    mardovane_install_link(mardovane Mardovane)
endif()

# The metadata and manual pages carry the version, the release date and the app id.
set(configured ${PROJECT_BINARY_DIR}/assets)
foreach(file mardovane.desktop mardovane.metainfo.xml man/mardovane.1 man/mardovane-split.1)
    configure_file(assets/${file}.in ${configured}/${file} @ONLY)
endforeach()
install(FILES ${configured}/man/mardovane-split.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md NOTICE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mardovane)

# The desktop files and the window's manual page come only with the window program.
if(TARGET Mardovane)
    install(FILES ${configured}/mardovane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
            RENAME ${MARDOVANE_APP_ID}.desktop)
    install(FILES ${configured}/mardovane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            RENAME ${MARDOVANE_APP_ID}.metainfo.xml)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES assets/icons/${size}x${size}/mardovane.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${MARDOVANE_APP_ID}.png)
    endforeach()
    install(FILES assets/icons/scalable/mardovane.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${MARDOVANE_APP_ID}.svg)
    install(FILES ${configured}/man/mardovane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# cpack -G DEB: dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME mardovane)
set(CPACK_PACKAGE_VERSION ${MARDOVANE_DISPLAY_VERSION})
set(CPACK_PACKAGE_VENDOR "Mardovane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Splits Chinese characters into their components, for fun")
set(CPACK_PACKAGE_CONTACT "Mardovane developers <dev@mardovane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MARDOVANE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (the context menu) in the desktop's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
