# Platform differences live in paired source files, *_posix.cpp and *_win.cpp: each build takes
# its own side. LARKMAIL_OTHER_PLATFORM_SOURCES is the pattern of the side it leaves out.
if(WIN32)
  set(LARKMAIL_OTHER_PLATFORM_SOURCES "_posix\\.cpp$")
  # Text is UTF-16 everywhere: the W functions, wWinMain and wmain.
  add_compile_definitions(UNICODE _UNICODE)
else()
  set(LARKMAIL_OTHER_PLATFORM_SOURCES "_win\\.cpp$")
endif()
