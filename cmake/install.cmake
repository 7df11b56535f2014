# Installed layout: the programs in one folder with keyword.info beside them (they read
# it beside the executable), links to them on PATH, the other tables and the desktop
# files under share/. On a Windows build, one folder to copy anywhere.
include(GNUInstallDirs)

if(WIN32)
    install(TARGETS Mardovane mardovane-split RUNTIME DESTINATION .)
    install(FILES data/keyword.info NOTICE LICENSE DESTINATION .)
    install(FILES data/tables/keyword-full.info DESTINATION tables)
    install(FILES assets/windows/README.txt DESTINATION .)
    include(cmake/package.cmake)
    return()
endif()

set(MARDOVANE_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/mardovane" CACHE STRING
    "Folder, under the prefix, for the executables and keyword.info")

set(programs mardovane-split)
if(TARGET Mardovane)
    list(APPEND programs Mardovane)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${MARDOVANE_INSTALL_DIR})
install(FILES data/tables/keyword-full.info DESTINATION ${CMAKE_INSTALL_DATADIR}/mardovane/tables)

# keyword.info is the one file users are invited to edit. Installed under /usr, as a
# package does, it is the configuration file /etc/mardovane/keyword.info, which upgrades
# keep, and keyword.info beside the programs is a link to it (absolute, as Debian wants a
# link into another top-level folder); under any other prefix it is the file itself,
# beside the programs. file(INSTALL) adds DESTDIR itself; file(CREATE_LINK) does not.
install(CODE "
    set(beside \"\${CMAKE_INSTALL_PREFIX}/${MARDOVANE_INSTALL_DIR}\")
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        file(INSTALL DESTINATION /etc/mardovane TYPE FILE
             FILES \"${PROJECT_SOURCE_DIR}/data/keyword.info\")
        set(link \"\$ENV{DESTDIR}\${beside}/keyword.info\")
        message(STATUS \"Installing: \${link} -> /etc/mardovane/keyword.info\")
        file(CREATE_LINK /etc/mardovane/keyword.info \"\${link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
    else()
        file(INSTALL DESTINATION \"\${beside}\" TYPE FILE
             FILES \"${PROJECT_SOURCE_DIR}/data/keyword.info\")
    endif()")

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

# The metadata, manual pages and changelog carry the version, the release date and the
# app id; manual pages and the changelog are compressed, as Debian expects them.
set(configured ${PROJECT_BINARY_DIR}/assets)
execute_process(COMMAND date -u -R -d "${MARDOVANE_RELEASE_DATE} 00:00:00"
                OUTPUT_VARIABLE MARDOVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(file mardovane.desktop mardovane.metainfo.xml man/mardovane.1 man/mardovane-split.1
             debian/changelog)
    configure_file(assets/${file}.in ${configured}/${file} @ONLY)
endforeach()
set(compressed)
foreach(file man/mardovane.1 man/mardovane-split.1 debian/changelog)
    add_custom_command(OUTPUT ${configured}/${file}.gz
                       COMMAND gzip -9nkf ${configured}/${file}
                       DEPENDS ${configured}/${file} VERBATIM)
    list(APPEND compressed ${configured}/${file}.gz)
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})

install(FILES ${configured}/man/mardovane-split.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(doc ${CMAKE_INSTALL_DATADIR}/doc/mardovane)
install(FILES README.md NOTICE LICENSE assets/debian/copyright ${configured}/debian/changelog.gz
        DESTINATION ${doc})

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
    install(FILES ${configured}/man/mardovane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

include(cmake/package.cmake)
