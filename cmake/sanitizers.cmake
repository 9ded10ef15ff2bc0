# Optional sanitizer build: -DTALLWICK_SANITIZE=address,undefined
if(TALLWICK_SANITIZE)
  add_compile_options(-fsanitize=${TALLWICK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALLWICK_SANITIZE})
endif()
