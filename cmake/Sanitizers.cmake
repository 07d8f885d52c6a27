# AddressSanitizer + UndefinedBehaviorSanitizer, stopping at the first report.
if(LARKMAIL_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()
