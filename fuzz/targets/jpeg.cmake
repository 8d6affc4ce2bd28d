# The jpeg reader of the picture formats.
animora_fuzz_target(jpeg SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictures.cpp LIBS animora_formats animora_qtbridge SEEDS pictures)
target_compile_definitions(replay_jpeg PRIVATE ANIMORA_FUZZ_KIND="jpeg")
if(ANIMORA_FUZZ)
    target_compile_definitions(fuzz_jpeg PRIVATE ANIMORA_FUZZ_KIND="jpeg")
endif()
