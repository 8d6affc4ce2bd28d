animora_fuzz_target(bmp
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bmp_fuzzer.cpp
    LIBS animora_platform
    SEEDS bmpsuite)
