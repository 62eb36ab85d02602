# Installing and packaging: the two programs, their manual pages, the desktop
# entry with its icon, and the Debian package that `cpack -G DEB` builds
# from them. Included by the top-level CMakeLists.txt.

install(TARGETS orbits-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orbits)
  install(TARGETS orbits RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/orbits.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 48 64 128 256)
    install(FILES packaging/icons/orbits-${size}.png RENAME orbits.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# Manual pages and the changelog carry the project's version and are
# installed compressed (gzip -n: no time stamp, so builds are reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(ORBITS_MAN_PAGES orbits.6 orbits-batch.1)
set(ORBITS_COMPRESSED)
foreach(file ${ORBITS_MAN_PAGES} changelog)
  if(file STREQUAL changelog)
    configure_file(packaging/changelog ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
  else()
    configure_file(doc/${file} ${CMAKE_BINARY_DIR}/doc/${file} @ONLY)
  endif()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/${file}.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${CMAKE_BINARY_DIR}/doc/${file}
    DEPENDS ${CMAKE_BINARY_DIR}/doc/${file})
  list(APPEND ORBITS_COMPRESSED ${CMAKE_BINARY_DIR}/doc/${file}.gz)
endforeach()
add_custom_target(orbits_docs ALL DEPENDS ${ORBITS_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/doc/orbits.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/doc/orbits-batch.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orbits)

# The Debian package. Its dependencies come from the libraries the binaries
# link (dpkg-shlibdeps); the binaries are stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbits)
set(CPACK_PACKAGE_VENDOR "orbits developers")
set(CPACK_PACKAGE_CONTACT "orbits developers <orbits@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "orbits moves the bodies of a planetary system under their mutual\n\
gravitation and draws them in perspective from a free-flying observer that\n\
you steer with the keyboard, in one 1024 x 768 window with a German user\n\
interface: the solar system, Jupiter and its moons, swarms round one or two\n\
suns, discs with a heavy planet, or a scenario file of your own.\n\
.\n\
orbits-batch runs the same simulation without a window, reads and writes\n\
scenario files and renders pictures as PNG, for batch runs and tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
