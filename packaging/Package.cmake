# The Debian package: `cmake --build build --target package` makes calora_<version>_<arch>.deb.
# The program keeps its folder layout (Languages/ and the user guide beside the executable)
# under /usr/lib/calora; /usr/bin/calora points at it. The command line and the simulator go
# to /usr/bin.
set(CALORA_PACKAGE_DIR lib/calora)
set(CALORA_MAINTAINER "Norvane <info@norvane.example>")

# The user guide lies beside the program in the build too, so the Help item shows there.
set(CALORA_GUIDE ${PROJECT_SOURCE_DIR}/docs/calora.html)
file(GLOB CALORA_GUIDE_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/calora-guide/*.png)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/calora.html
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/calora-guide
          ${CMAKE_BINARY_DIR}/bin/calora-guide
  COMMAND ${CMAKE_COMMAND} -E copy ${CALORA_GUIDE} ${CMAKE_BINARY_DIR}/bin/calora.html
  DEPENDS ${CALORA_GUIDE} ${CALORA_GUIDE_IMAGES}
  COMMENT "Copying the user guide beside the program")
add_custom_target(calora_guide ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/calora.html)
add_dependencies(calora calora_guide)

install(TARGETS calora RUNTIME DESTINATION ${CALORA_PACKAGE_DIR})
install(TARGETS English Espanol Italiano LIBRARY DESTINATION ${CALORA_PACKAGE_DIR}/Languages)
install(TARGETS calora-cli calora-sim RUNTIME DESTINATION bin)
install(FILES ${CALORA_GUIDE} DESTINATION ${CALORA_PACKAGE_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/calora-guide DESTINATION ${CALORA_PACKAGE_DIR})
# The program finds its folder through the link (it resolves its own path).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-root)
file(CREATE_LINK ../${CALORA_PACKAGE_DIR}/calora ${CMAKE_BINARY_DIR}/package-root/calora SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package-root/calora DESTINATION bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/calora.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/calora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/calora-monitor@.service DESTINATION lib/systemd/system)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/plant.conf DESTINATION share/doc/calora/examples)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/calora-cli.bash DESTINATION share/bash-completion/completions
        RENAME calora-cli)

# Manual pages, made from each program's own --help and --version so they never drift.
find_program(HELP2MAN help2man REQUIRED)
set(CALORA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(CALORA_MAN_PAGES)
foreach(program calora calora-cli calora-sim)
  if(program STREQUAL "calora")
    set(what "configure and monitor TQ series temperature controllers")
  elseif(program STREQUAL "calora-cli")
    set(what "command line for TQ series temperature controllers over Modbus")
  else()
    set(what "simulated bus of TQ series temperature controllers")
  endif()
  set(page ${CALORA_MAN_DIR}/${program}.1.gz)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CALORA_MAN_DIR}
    COMMAND ${HELP2MAN} --no-info --section=1 --name=${what}
            --output=${CALORA_MAN_DIR}/${program}.1 $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${CALORA_MAN_DIR}/${program}.1
    DEPENDS ${program}
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND CALORA_MAN_PAGES ${page})
endforeach()
add_custom_target(calora_manpages ALL DEPENDS ${CALORA_MAN_PAGES})
install(FILES ${CALORA_MAN_PAGES} DESTINATION share/man/man1)

# The license in Debian's machine-readable copyright format, from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE: expected the MIT license with one copyright line")
endif()
set(holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${CMAKE_BINARY_DIR}/package-root/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Calora
Upstream-Contact: ${CALORA_MAINTAINER}
Source: https://www.norvane.example/

Files: *
Copyright: ${holder}
License: Expat
 ${terms}
")
install(FILES ${CMAKE_BINARY_DIR}/package-root/copyright DESTINATION share/doc/calora)

# The release notes in the form Debian's tools read from a native package, compressed.
set(CALORA_CHANGELOG ${CMAKE_BINARY_DIR}/package-root/changelog)
add_custom_command(
  OUTPUT ${CALORA_CHANGELOG}.gz
  COMMAND awk -v package=calora -v version=${PROJECT_VERSION} -v "maintainer=${CALORA_MAINTAINER}"
          -v out=${CALORA_CHANGELOG} -f ${CMAKE_CURRENT_LIST_DIR}/debian-changelog.awk
          ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  COMMAND gzip -9nf ${CALORA_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_LIST_DIR}/debian-changelog.awk
  COMMENT "Writing the changelog"
  VERBATIM)
add_custom_target(calora_changelog ALL DEPENDS ${CALORA_CHANGELOG}.gz)
install(FILES ${CMAKE_BINARY_DIR}/package-root/changelog.gz DESTINATION share/doc/calora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "${CALORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configure and monitor TQ series temperature controllers over Modbus")
# Lines of the long description stay within 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Calora configures and monitors TQ100 and ZI102-VA402 panel temperature\n\
controllers over Modbus RTU (serial RS-485) or Modbus TCP: find a controller,\n\
read, edit and write its parameters, keep them in files, watch one controller\n\
live and monitor several at once with log and graph files. The command line\n\
calora-cli, a systemd service for headless monitoring and a simulated bus,\n\
calora-sim, are included.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.norvane.example/")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Libraries found by dpkg-shlibdeps; the rest is loaded at run time: the windowing plugins,
# the seven-segment face of the displays and the desktop's opener for logs and the guide.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dseg, fonts-dejavu-core, xdg-utils")
include(CPack)
