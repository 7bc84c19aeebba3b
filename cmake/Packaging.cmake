# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.

include(GNUInstallDirs)
set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)

set(KANAT_LICENSE "GPL-3.0-or-later" CACHE STRING "The program's licence, as an SPDX identifier")
set(KANAT_MAINTAINER "Kanat maintainers <kanat@example.org>" CACHE STRING
  "Name <address> of whoever answers for the Debian package")
set(KANAT_HOMEPAGE "" CACHE STRING "The project's web page (optional)")
set(KANAT_SCREENSHOT_URL "" CACHE STRING
  "https address of docs/screenshot.png as published, for software centres (optional)")
set(KANAT_APPSTREAM_ID "io.github.kanat.kanat")

install(TARGETS kanat kanat-hesapla RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# A desktop entry and the bee icon in the hicolor theme, so the installed program shows up in
# the desktop's application menu.
install(FILES ${PROJECT_SOURCE_DIR}/app/kanat.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/kanat-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME kanat.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/kanat.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# A changed version needs its own changelog entry and AppStream release, or the package would
# describe an older program.
file(STRINGS ${packaging_source}/changelog.in changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^kanat \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog.in does not start with an entry for version ${PROJECT_VERSION}")
endif()
file(READ ${packaging_source}/kanat.metainfo.xml.in metainfo_text)
if(NOT metainfo_text MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "packaging/kanat.metainfo.xml.in has no release ${PROJECT_VERSION}")
endif()

# The copyright file points at Debian's copy of the licence text, so only licences found in
# /usr/share/common-licenses can be named without adding their full text.
set(common_licence_files
  GPL-2.0-only=GPL-2 GPL-2.0-or-later=GPL-2 GPL-3.0-only=GPL-3 GPL-3.0-or-later=GPL-3
  LGPL-2.1-only=LGPL-2.1 LGPL-2.1-or-later=LGPL-2.1 LGPL-3.0-only=LGPL-3 LGPL-3.0-or-later=LGPL-3
  Apache-2.0=Apache-2.0 MPL-2.0=MPL-2.0 CC0-1.0=CC0-1.0)
list(FILTER common_licence_files INCLUDE REGEX "^${KANAT_LICENSE}=")
if(NOT common_licence_files)
  message(FATAL_ERROR "KANAT_LICENSE ${KANAT_LICENSE} has no text in /usr/share/common-licenses; "
    "write its full text into packaging/copyright.in")
endif()
string(REGEX REPLACE "^.*=" "" licence_file "${common_licence_files}")
set(KANAT_LICENSE_NOTICE
" This program is free software, distributed under the terms of the licence
 ${KANAT_LICENSE}.
 .
 On Debian systems, the complete text of the licence can be found in
 \"/usr/share/common-licenses/${licence_file}\".")

set(KANAT_APPSTREAM_LINKS "")
if(KANAT_HOMEPAGE)
  string(APPEND KANAT_APPSTREAM_LINKS "  <url type=\"homepage\">${KANAT_HOMEPAGE}</url>\n")
endif()
# AppStream accepts only a web address for a screenshot, so there is none until one exists.
if(KANAT_SCREENSHOT_URL)
  string(APPEND KANAT_APPSTREAM_LINKS "  <screenshots>\n    <screenshot type=\"default\">\n"
    "      <caption>A honey bee forewing with its 18 landmarks and the results</caption>\n"
    "      <image>${KANAT_SCREENSHOT_URL}</image>\n    </screenshot>\n  </screenshots>\n")
endif()

set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)
set(KANAT_METAINFO ${packaging_dir}/${KANAT_APPSTREAM_ID}.metainfo.xml)
configure_file(${packaging_source}/kanat.metainfo.xml.in ${KANAT_METAINFO} @ONLY)
configure_file(${packaging_source}/copyright.in ${packaging_dir}/copyright @ONLY)
configure_file(${packaging_source}/changelog.in ${packaging_dir}/source/changelog @ONLY)

# Debian wants manual pages and the changelog compressed with gzip -9n (no name, no time stamp)
# so that the package is the same whenever it is built.
find_program(KANAT_GZIP gzip REQUIRED)
set(compressed_documents "")
foreach(document IN ITEMS ${packaging_source}/kanat.1 ${packaging_source}/kanat-hesapla.1
                          ${packaging_dir}/source/changelog)
  cmake_path(GET document FILENAME name)
  add_custom_command(OUTPUT ${packaging_dir}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${document} ${packaging_dir}/${name}
    COMMAND ${KANAT_GZIP} -9nf ${packaging_dir}/${name}
    DEPENDS ${document}
    VERBATIM)
  list(APPEND compressed_documents ${packaging_dir}/${name}.gz)
endforeach()
add_custom_target(kanat_documents ALL DEPENDS ${compressed_documents})

install(FILES ${packaging_dir}/kanat.1.gz ${packaging_dir}/kanat-hesapla.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_dir}/copyright ${packaging_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KANAT_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package. dpkg-shlibdeps finds the libraries the programs link; the rest are what
# Qt loads at run time: the Turkish translation of its dialogs, the TIFF picture plugin and a
# font with the Turkish letters (fontconfig would settle for Bitstream Vera, which lacks ğ, ş
# and ı). The X11 platform plugin and the GIF/JPEG/ICO plugins come with libqt6gui6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kanat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${KANAT_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wing morphometry of wasps and bees (Sphecidae, Apidae)")
set(CPACK_PACKAGE_DESCRIPTION
"Sphecidae ve Apidae Kanat Morfometrisi is a desktop program for the wing
morphometry of wasps and bees. The user opens a photograph of a forewing,
picks the magnification it was taken at and clicks the 18 landmarks of the
venation; the program measures 19 angles, 53 distance ratios, the cubital
index, the hantel index, the discoidal shift, 24 lengths in millimetres and
a colour near each landmark. Each wing becomes one record line in a
cumulative data file, ready for statistics, and its landmarks go to a TPS
file for geometric morphometrics. The user interface is in Turkish.

The command kanat-hesapla makes the same measurements from landmark
coordinate or TPS files, without a window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-translations-l10n, qt6-image-formats-plugins, fonts-dejavu-core | fonts-liberation2")
if(KANAT_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KANAT_HOMEPAGE})
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
