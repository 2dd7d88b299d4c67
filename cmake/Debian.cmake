# The Debian package, made by CPack (bash scripts/package.sh), and the
# documents a Debian package carries.
set(KERFMATE_PACKAGE_MAINTAINER "Kerfmate developers <kerfmate@example.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/kerfmate)
configure_file(cmake/debian/changelog.in changelog @ONLY)
add_custom_command(OUTPUT changelog.gz COMMAND gzip -9nkf changelog DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(kerfmate-changelog ALL DEPENDS changelog.gz)
install(FILES README.md cmake/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kerfmate)
set(CPACK_PACKAGE_VENDOR Kerfmate)
set(CPACK_PACKAGE_CONTACT ${KERFMATE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "part generator for laser cutting and engraving
Kerfmate makes parts for laser cutters from a few numbers: finger-jointed
boxes with kerf compensation, rounded boxes with living hinges, meshing
involute gear pairs, and badges and seals with text on arcs, with a live
preview. kerfmate-host lays them out on a sheet and exports SVG, DXF and
PDF at 1:1; it also runs headless from scripts.

The package also holds the loadable module, the host libraries, headers
and CMake package a laser program needs to host the module.")
# Library dependencies are computed from the binaries; the faces the engine
# draws text with are data, named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg runs ldconfig once for all packages that ask for it by this trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, qt6-translations-l10n")
# To build a laser program against the headers and the CMake package.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake, qt6-base-dev")
include(CPack)
