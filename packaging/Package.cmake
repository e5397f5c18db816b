# The Debian package: `cmake --build build --target package` makes calora_<version>_<arch>.deb.
# The program keeps its folder layout (Languages/ and the user guide beside the executable)
# under /usr/lib/calora; /usr/bin/calora points at it. The command line and the simulator go
# to /usr/bin.
set(CALORA_PACKAGE_DIR lib/calora)

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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <info@norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configure and monitor TQ series temperature controllers over Modbus")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Calora configures and monitors TQ100 and ZI102-VA402 panel temperature controllers over \
Modbus RTU (serial RS-485) or Modbus TCP: find a controller, read, edit and write its \
parameters, keep them in files, watch one controller live and monitor several at once with \
log and graph files. The command line calora-cli and a simulated bus, calora-sim, are \
included.")
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
