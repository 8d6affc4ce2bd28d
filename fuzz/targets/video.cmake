# The video reader (TVideoReader over FFmpeg). No corpus is kept in the
# repository (no video files are committed): seed a fuzzing run with videos
# made by ffmpeg.
animora_fuzz_target(video
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/video_fuzzer.cpp
    LIBS animora_formats)
