# AddressSanitizer + UndefinedBehaviorSanitizer, stopping at the first report.
if(LARKMAIL_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()

# Fuzz builds instrument all code for libFuzzer's coverage feedback; the targets link libFuzzer.
if(LARKMAIL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
