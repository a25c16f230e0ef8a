# SPDX-License-Identifier: MIT
# What a distribution takes besides the program: the AppStream metadata, the man page, the
# licence in Debian's machine-readable form, and the Debian package that `cpack -G DEB` makes
# from them in the build folder (scripts/package-test.sh builds and tries it).

set(VELMORA_APP_ID com.quorvant.Quorvant-Velmora)
set(VELMORA_MAINTAINER "The Velmora developers <velmora@quorvant.com>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")

# The metadata names the project's pages. It and the changelog must describe this version, so
# that a version bump cannot ship the last release's notes.
set(VELMORA_METAINFO_SOURCE ${PROJECT_SOURCE_DIR}/data/${VELMORA_APP_ID}.metainfo.xml.in)
set(VELMORA_CHANGELOG ${PROJECT_SOURCE_DIR}/data/changelog)
file(READ ${VELMORA_METAINFO_SOURCE} metainfo)
file(STRINGS ${VELMORA_CHANGELOG} changelog_top LIMIT_COUNT 1)
string(FIND "${metainfo}" "<release version=\"${PROJECT_VERSION}\"" release_entry)
if(release_entry EQUAL -1 OR NOT changelog_top MATCHES "^velmora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "${VELMORA_METAINFO_SOURCE} and ${VELMORA_CHANGELOG} must begin with "
                      "the release ${PROJECT_VERSION}")
endif()
set(VELMORA_METAINFO ${PROJECT_BINARY_DIR}/data/${VELMORA_APP_ID}.metainfo.xml)
configure_file(${VELMORA_METAINFO_SOURCE} ${VELMORA_METAINFO} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/copyright.in ${PROJECT_BINARY_DIR}/data/copyright @ONLY)

install(FILES ${VELMORA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_BINARY_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)

# The man page and the changelog go in compressed without a time stamp (gzip -9n), as Debian
# ships them, so that the package is the same whenever it is built.
set(VELMORA_MAN_PAGE ${PROJECT_SOURCE_DIR}/docs/velmora.1)
find_program(VELMORA_GZIP gzip)
foreach(doc man1:${VELMORA_MAN_PAGE}:velmora.1 doc/velmora:${VELMORA_CHANGELOG}:changelog)
  string(REPLACE ":" ";" doc "${doc}")
  list(GET doc 0 folder)
  list(GET doc 1 source)
  list(GET doc 2 name)
  if(folder STREQUAL "man1")
    set(folder ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    set(folder ${CMAKE_INSTALL_DATADIR}/${folder})
  endif()
  if(VELMORA_GZIP)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/data/${name}.gz
                       COMMAND ${VELMORA_GZIP} -9n -c ${source} > data/${name}.gz
                       DEPENDS ${source} WORKING_DIRECTORY ${PROJECT_BINARY_DIR} VERBATIM)
    list(APPEND VELMORA_COMPRESSED_DOCS ${PROJECT_BINARY_DIR}/data/${name}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/data/${name}.gz DESTINATION ${folder})
  else()
    install(FILES ${source} DESTINATION ${folder} RENAME ${name})
  endif()
endforeach()
add_custom_target(velmora_compressed_docs ALL DEPENDS ${VELMORA_COMPRESSED_DOCS})

# The Debian package holds what `cmake --install` installs: the velmora program (stripped), its
# desktop file, icon, metadata, man page, copyright and GNOME Shell extension; velmora-sim, the
# tests and the benchmarks are for developers and install nothing.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switch the keyboard layout per application on X11")
# Debian's extended description: lines under 80 columns (cpack indents them).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Velmora keeps one keyboard layout rule per application, such as German in"
  "the mail client and English in the terminal, and selects the rule's layout"
  "whenever that application comes to the front, before the first key is typed."
  "It sits in the tray, has a global shortcut per layout, an optional floating"
  "indicator of the current layout, and a command line to list the layouts,"
  "applications and rules.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOMEPAGE_URL}")
# The shared libraries velmora links come from dpkg-shlibdeps; Qt loads the xcb platform plugin
# and the SVG image and icon plugins only at run time, so those packages are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
include(CPack)
