# Optional sanitizer build: -DTALLWICK_SANITIZE=address,undefined
if(TALLWICK_SANITIZE)
  add_compile_options(-fsanitize=${TALLWICK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALLWICK_SANITIZE})
endif()

# A fuzz build takes no coverage feedback from code its targets run but do
# not test (fuzz/coverage-ignore.txt says which and why).
if(TALLWICK_SANITIZE MATCHES "fuzzer-no-link")
  add_compile_options(-fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage-ignore.txt)
endif()
