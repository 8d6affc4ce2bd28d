# Run as a test (cmake -DDIR=... -P): the one clear failure when the files
# made by other programs are not where the tests read them.
if(NOT IS_DIRECTORY "${DIR}")
    message(FATAL_ERROR "No test data at ${DIR}: the tests read the shared files of ../shared/testdata "
                        "in place (set ANIMORA_TESTDATA_DIR to their folder). The tests that need them are not run.")
endif()
message(STATUS "Test data at ${DIR}")
