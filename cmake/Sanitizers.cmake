# AddressSanitizer + UndefinedBehaviorSanitizer, stopping at the first report.
if(LARKMAIL_SANITIZE)
  # Programs built outside this build against its library need the same flags (tests/install).
  set(LARKMAIL_SANITIZER_FLAGS
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${LARKMAIL_SANITIZER_FLAGS})
  add_link_options(${LARKMAIL_SANITIZER_FLAGS})
endif()

# Fuzz builds instrument all code for libFuzzer's coverage feedback; the targets link libFuzzer.
if(LARKMAIL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
