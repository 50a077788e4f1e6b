# Installation along the FHS, and the Debian package made from it.
#
#   bin/parvel                 the launcher: changes into the user's data folder, starts Parvel
#   lib/.../parvel/            the program Parvel, its libraries and helper programs (RPATH $ORIGIN)
#   share/applications/        the desktop entry
#   share/icons/hicolor/       the program's icon
#   share/parvel/demo/         the demo menu tree's pictures and a sample order sheet
include(GNUInstallDirs)

set(PARVEL_INSTALL_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/parvel)
set(PARVEL_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/parvel)

# The program and everything it loads or starts lie in one folder, so $ORIGIN finds them all.
install(TARGETS Parvel Platform PlatformUi PlatformWeb Option Murmel Scrivo Netvane Mapform mapform-sheet
        RUNTIME DESTINATION ${PARVEL_INSTALL_PRIVATE_DIR}
        LIBRARY DESTINATION ${PARVEL_INSTALL_PRIVATE_DIR} NAMELINK_SKIP)

# The launcher finds the program and the demo files from where it lies itself, so a staged tree
# (DESTDIR) runs as well as an installed one.
file(RELATIVE_PATH PARVEL_BIN_TO_PROGRAM /${CMAKE_INSTALL_BINDIR} /${PARVEL_INSTALL_PRIVATE_DIR})
file(RELATIVE_PATH PARVEL_BIN_TO_DATA /${CMAKE_INSTALL_BINDIR} /${PARVEL_INSTALL_DATA_DIR})
configure_file(${CMAKE_SOURCE_DIR}/client/desktop/parvel.in ${CMAKE_BINARY_DIR}/install/parvel @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/install/parvel DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/client/desktop/parvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/client/desktop/icons/parvel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME parvel.png)
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/devnet/demo/ico DESTINATION ${PARVEL_INSTALL_DATA_DIR}/demo)
install(FILES ${CMAKE_SOURCE_DIR}/devnet/demo/orders.xls DESTINATION ${PARVEL_INSTALL_DATA_DIR}/demo)

# cpack -G DEB: the libraries' dependencies come from dpkg-shlibdeps; the programs the client
# starts are named here (Ghostscript prints the labels, lp of the CUPS client queues them).
set(CPACK_PACKAGE_NAME parvel)
set(CPACK_PACKAGE_VENDOR "Velkor")
set(CPACK_PACKAGE_VERSION ${PARVEL_FILE_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velkor courier network branch outlet client")
set(CPACK_PACKAGE_DESCRIPTION "The desktop client of the Velkor courier network's branch outlets: signs on
to the network's business web systems and shows them in tabs, prints waybill labels, imports
order sheets, queries waybills and keeps the network's messages.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velkor branch client team <client@velkor.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ghostscript, cups-client")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
