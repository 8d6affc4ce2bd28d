# The wmf reader of the picture formats.
animora_fuzz_target(wmf SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictures.cpp LIBS animora_formats animora_qtbridge )
target_compile_definitions(replay_wmf PRIVATE ANIMORA_FUZZ_KIND="wmf")
if(ANIMORA_FUZZ)
    target_compile_definitions(fuzz_wmf PRIVATE ANIMORA_FUZZ_KIND="wmf")
endif()
