# libcurl for the Windows binaries: the static library that scripts/build-windows-curl builds
# from Debian's curl source (Schannel), as the imported target CURL::libcurl with the Windows
# libraries its pkg-config file lists.
set(LARKMAIL_WINDOWS_CURL "${PROJECT_SOURCE_DIR}/build/windows/curl"
    CACHE PATH "Prefix of the static Windows libcurl (scripts/build-windows-curl)")
if(NOT EXISTS "${LARKMAIL_WINDOWS_CURL}/lib/libcurl.a")
  message(FATAL_ERROR "No Windows libcurl in ${LARKMAIL_WINDOWS_CURL}: run scripts/build-windows-curl")
endif()
file(STRINGS "${LARKMAIL_WINDOWS_CURL}/lib/libcurl.pc" curl_private REGEX "^Libs.private:")
string(REGEX REPLACE "^Libs.private:[ \t]*" "" curl_private "${curl_private}")
separate_arguments(curl_private UNIX_COMMAND "${curl_private}")
add_library(CURL::libcurl STATIC IMPORTED)
set_target_properties(CURL::libcurl PROPERTIES
  IMPORTED_LOCATION "${LARKMAIL_WINDOWS_CURL}/lib/libcurl.a"
  INTERFACE_INCLUDE_DIRECTORIES "${LARKMAIL_WINDOWS_CURL}/include"
  INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
  INTERFACE_LINK_LIBRARIES "${curl_private}")
