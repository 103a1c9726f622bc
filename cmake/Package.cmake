# The Debian package: cpack (or scripts/install.sh) in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr -DVELMORA_PACKAGE=ON makes velmora_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Velmora Flow developers <packaging@velmora-flow.example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print panel of a production press, for CUPS")
set(CPACK_PACKAGE_DESCRIPTION "\
Velmora Flow sets up print jobs for a production press: trays and media,
duplex, colour, finishing, output tray, imposition, colour management, secure
print and more, from a graphical print dialog, the command line or a held job.
The press receives each job as one package, an XJDF ticket beside the PDF.
.
The package holds the velmora command, the graphical dialog, the press's
CUPS filters and its queue PPD. It adds no print queue by itself.")
# The package's dependencies are what its binaries link, as dpkg-shlibdeps finds them; the
# library below lib/velmora is the package's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/src)
# CUPS itself (the scheduler and lpinfo's driver list) runs the filters and offers the PPD.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# What Debian asks of every package beside its files: the copyright and a changelog.
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION share/doc/velmora)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION share/doc/velmora)
