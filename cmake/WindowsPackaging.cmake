# What `cmake --install` puts where on Windows, and the installer and the portable .zip that
# `cpack` makes of it: one folder with the programs, every DLL they load and Qt's plugins and
# Turkish translation beside them, so that nothing has to be installed first.

set(KANAT_LICENSE "GPL-3.0-or-later" CACHE STRING "The program's licence, as an SPDX identifier")
set(KANAT_MAINTAINER "Kanat maintainers <kanat@example.org>" CACHE STRING "Who answers for the program")
set(KANAT_HOMEPAGE "" CACHE STRING "The project's web page (optional)")

# The libraries' folder: the one the toolchain file found, or the Qt found.
if(DEFINED KANAT_WINDOWS_PREFIX)
  set(windows_prefix "${KANAT_WINDOWS_PREFIX}")
else()
  cmake_path(SET windows_prefix NORMALIZE "${Qt6_DIR}/../../..")
endif()

install(TARGETS kanat kanat-hesapla RUNTIME DESTINATION .)

# Qt's, OpenCV's and libjpeg-turbo's DLLs and the MinGW run time: what the programs and the
# plugins below import (tests/windows_install_test.sh holds the folder to that).
set(kanat_dlls
  Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Concurrent.dll
  libopencv_core460.dll libopencv_imgproc460.dll libopencv_features2d460.dll libopencv_flann460.dll
  libopencv_calib3d460.dll
  libturbojpeg.dll libjpeg-62.dll zlib1.dll
  libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll)
foreach(dll IN LISTS kanat_dlls)
  if(NOT EXISTS "${windows_prefix}/bin/${dll}")
    message(FATAL_ERROR "${dll} is not in ${windows_prefix}/bin: run scripts/windows-toolchain.sh")
  endif()
  install(FILES "${windows_prefix}/bin/${dll}" DESTINATION .)
endforeach()
# Qt finds its plugins in these folders beside the program. The offscreen platform lets the
# program run without a screen; lab scanners write TIFF.
install(FILES "${windows_prefix}/plugins/platforms/qwindows.dll" "${windows_prefix}/plugins/platforms/qoffscreen.dll"
  DESTINATION platforms)
install(FILES "${windows_prefix}/plugins/imageformats/qjpeg.dll" "${windows_prefix}/plugins/imageformats/qgif.dll"
  "${windows_prefix}/plugins/imageformats/qtiff.dll" DESTINATION imageformats)
install(FILES "${windows_prefix}/plugins/styles/qwindowsvistastyle.dll" DESTINATION styles)
# app/qt_turkish.cpp looks for it in translations/ beside the program.
install(FILES "${windows_prefix}/translations/qtbase_tr.qm" DESTINATION translations)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME kanat)
set(CPACK_PACKAGE_VENDOR "Kanat")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sphecidae ve Apidae Kanat Morfometrisi")
set(CPACK_PACKAGE_FILE_NAME "kanat-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Kanat Morfometrisi")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Kanat Morfometrisi")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The Start menu entry, named as the desktop entry on Linux; its icon is the one in kanat.exe.
set(CPACK_PACKAGE_EXECUTABLES kanat "Sphecidae ve Apidae Kanat Morfometrisi")

# A 64-bit installer: CPack's default 32-bit stub does not run under a 64-bit-only Wine, and a
# 64-bit program belongs in the 64-bit Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Sphecidae ve Apidae Kanat Morfometrisi")
set(CPACK_NSIS_DISPLAY_NAME "Sphecidae ve Apidae Kanat Morfometrisi")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/kanat.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/kanat.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME kanat.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN kanat.exe)
if(KANAT_HOMEPAGE)
  set(CPACK_NSIS_URL_INFO_ABOUT ${KANAT_HOMEPAGE})
endif()
set(CPACK_NSIS_CONTACT ${KANAT_MAINTAINER})

# The portable .zip: one folder to unpack anywhere; the records go beside the program there.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
