# The GIF reader (TGIFImage::LoadFromStream), seeded with the conformance suite.
animora_fuzz_target(gif
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/gif_fuzzer.cpp
    LIBS animora_engine
    SEEDS gif-suite corpus)
