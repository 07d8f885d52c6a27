# What `cmake --install` puts where (GNUInstallDirs places below the prefix):
#
#   lib/libLarkmail.so.1        the mail library (libLarkmail.so.1.x.y, with the usual links)
#   lib/libwin32compat.so.1     the platform layer it shares with the host (message loop)
#   include/larkmail/larkmail.h the public header
#   include/larkmail/win32compat/  the platform layer's headers, for hosts that pump messages
#   lib/cmake/Larkmail/         the CMake package: Larkmail::Larkmail, Larkmail::win32compat
#   lib/pkgconfig/larkmail.pc   the pkg-config file
#   bin/larkmail-send, bin/package-app
#   libexec/larkmail/launcher   the launcher that package-app copies for each application
#   lib/larkmail/sample-runtime/libcvvm.so  the stand-in runtime library
#
# Installed files carry no run path into the build folder: the library finds the platform
# layer beside itself ($ORIGIN) and larkmail-send finds both in ../lib; everything else needs
# no library of ours.
include(CMakePackageConfigHelpers)

set(LARKMAIL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Larkmail)
set(LARKMAIL_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
set(LARKMAIL_COMPAT_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/larkmail/win32compat)
set(LARKMAIL_LAUNCHER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/larkmail)
set(LARKMAIL_SAMPLE_RUNTIME_DIR ${CMAKE_INSTALL_LIBDIR}/larkmail/sample-runtime)

# Shared libraries get a versioned name: the SONAME changes only with the binary interface.
set_target_properties(Larkmail PROPERTIES VERSION ${PROJECT_VERSION}
                                          SOVERSION ${PROJECT_VERSION_MAJOR}
                                          INSTALL_RPATH "$ORIGIN")
set_target_properties(win32compat PROPERTIES VERSION ${PROJECT_VERSION}
                                             SOVERSION ${PROJECT_VERSION_MAJOR})
target_include_directories(Larkmail INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

# larkmail-send links the platform layer from the library folder seen from its own folder
# (and loads the library from there, see tools/host-common).
set_target_properties(larkmail-send PROPERTIES INSTALL_RPATH "$ORIGIN/${LARKMAIL_BIN_TO_LIB}")

install(TARGETS Larkmail win32compat EXPORT LarkmailTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/larkmail/larkmail.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/larkmail)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/compat/win32/include/
        DESTINATION ${LARKMAIL_COMPAT_INCLUDE_DIR})

install(TARGETS larkmail-send package-app RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS launcher RUNTIME DESTINATION ${LARKMAIL_LAUNCHER_DIR})
install(TARGETS sample_runtime LIBRARY DESTINATION ${LARKMAIL_SAMPLE_RUNTIME_DIR})

# The CMake package: find_package(Larkmail [1.0]) gives Larkmail::Larkmail.
install(EXPORT LarkmailTargets NAMESPACE Larkmail:: DESTINATION ${LARKMAIL_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LarkmailConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/LarkmailConfig.cmake
                              INSTALL_DESTINATION ${LARKMAIL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LarkmailConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LarkmailConfig.cmake
              ${PROJECT_BINARY_DIR}/LarkmailConfigVersion.cmake
        DESTINATION ${LARKMAIL_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, so the same file serves every
# prefix (cmake --install --prefix, the Debian package's /usr).
file(RELATIVE_PATH _larkmail_pc_to_prefix
     ${CMAKE_INSTALL_PREFIX}/${LARKMAIL_PKGCONFIG_DIR} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" _larkmail_pc_to_prefix "${_larkmail_pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/larkmail.pc.in ${PROJECT_BINARY_DIR}/larkmail.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/larkmail.pc DESTINATION ${LARKMAIL_PKGCONFIG_DIR})
