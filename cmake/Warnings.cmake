# Warnings are errors in CI: the build must stay warning-free.
add_compile_options(-Wall -Wextra)
option(LARKMAIL_WERROR "Treat warnings as errors" ON)
if(LARKMAIL_WERROR)
  add_compile_options(-Werror)
endif()
