# The ico reader of the picture formats.
animora_fuzz_target(ico SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictures.cpp LIBS animora_formats animora_qtbridge SEEDS pictures)
target_compile_definitions(replay_ico PRIVATE ANIMORA_FUZZ_KIND="ico")
if(ANIMORA_FUZZ)
    target_compile_definitions(fuzz_ico PRIVATE ANIMORA_FUZZ_KIND="ico")
endif()
