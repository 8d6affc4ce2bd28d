# The emf reader of the picture formats.
animora_fuzz_target(emf SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictures.cpp LIBS animora_formats animora_qtbridge )
target_compile_definitions(replay_emf PRIVATE ANIMORA_FUZZ_KIND="emf")
if(ANIMORA_FUZZ)
    target_compile_definitions(fuzz_emf PRIVATE ANIMORA_FUZZ_KIND="emf")
endif()
