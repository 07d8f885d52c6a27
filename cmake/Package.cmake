# `cpack -G DEB` (in a build folder) packs what `cmake --install` installs into one Debian
# package, larkmail, under /usr. Its dependencies come from dpkg-shlibdeps (dpkg-dev), and its
# own libraries get a shlibs file so that packages built against it depend on it in turn.
set(CPACK_PACKAGE_NAME larkmail)
set(CPACK_PACKAGE_VENDOR "Larkmail developers")
set(CPACK_PACKAGE_CONTACT "Larkmail developers <larkmail@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Composes e-mail and sends it over SMTP; application launcher")
set(CPACK_PACKAGE_DESCRIPTION
    "Larkmail is a shared library that composes e-mail and sends it over SMTP through libcurl, \
with the larkmail-send command-line tool. The package also holds the application launcher, \
its packaging tool package-app and a sample runtime library.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The library needs the platform layer from the same package; dpkg-shlibdeps looks for it here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)

include(CPack)
