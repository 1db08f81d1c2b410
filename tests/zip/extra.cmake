# The reader's fuzz target, built with clang's libFuzzer and run for a fixed, small number of
# inputs from a seed corpus so that the suite stays quick. The engine's sources are compiled with
# the fuzzer's instrumentation; the platform library beneath them is linked as it is.
find_program(BRX_CLANGXX NAMES clang++ clang++-14)
if(BRX_CLANGXX AND TARGET brx_platform)
  file(GLOB BRX_FUZZ_ZIP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/zip/*.cpp)
  set(BRX_FUZZER ${CMAKE_CURRENT_BINARY_DIR}/fuzz_zip_reader)
  add_custom_command(
    OUTPUT ${BRX_FUZZER}
    COMMAND ${BRX_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined
            -I${PROJECT_SOURCE_DIR}/src ${BRX_FUZZ_ZIP_SOURCES}
            ${CMAKE_CURRENT_SOURCE_DIR}/zip/fuzz_reader.cpp
            $<TARGET_FILE:brx_platform> -lhivex -lmspack -lz -o ${BRX_FUZZER}
    DEPENDS ${BRX_FUZZ_ZIP_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/zip/fuzz_reader.cpp brx_platform
    COMMENT "Building the ZIP reader fuzz target with clang"
    VERBATIM)
  add_custom_target(zip_reader_fuzzer ALL DEPENDS ${BRX_FUZZER})
  # New inputs go into the build tree's corpus, never into the seeds beside the sources.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus)
  add_test(NAME zip_reader_fuzz
           COMMAND ${BRX_FUZZER} -runs=1000 -max_len=4096 -seed=1 -timeout=10
                   ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus ${PROJECT_SOURCE_DIR}/tests/data/zip/seeds)
  set_tests_properties(zip_reader_fuzz PROPERTIES TIMEOUT 120 ENVIRONMENT "TZ=UTC;LC_ALL=C.UTF-8")
endif()

# brxzip on the command line, as scripts use it.
if(TARGET brxzip)
  add_test(NAME brxzip_command_line
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/zip/brxzip_cli.sh $<TARGET_FILE:brxzip>)
  set_tests_properties(brxzip_command_line PROPERTIES TIMEOUT 60 ENVIRONMENT "TZ=UTC;LC_ALL=C.UTF-8")
endif()
