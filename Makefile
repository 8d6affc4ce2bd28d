# Animora Pro: the two commands a newcomer needs are `make run` and `make test`.
JOBS ?= $(shell nproc)
GENERATOR := -G Ninja

.PHONY: deps build run test test-normal test-sanitize test-threads bench fuzz clean screenshot screenshots-update

deps:
	@scripts/install-deps.sh

# The test builds treat warnings in our own code as errors.
build: deps
	cmake -S . -B build $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANIMORA_WERROR=ON
	cmake --build build -j $(JOBS)

# The editor, built for speed; FILE=x.gif opens that file as the project.
FILE ?=
run: deps
	cmake -S . -B build-release $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DANIMORA_TESTS=OFF
	cmake --build build-release -j $(JOBS) --target animora
	build-release/src/app/animora $(if $(FILE),"$(abspath $(FILE))")

# The editor under xvfb with a corpus GIF: `make screenshot` writes
# build/screenshots/main-window.png and document-window.png to look at; only `make screenshots-update`
# replaces the committed pictures in docs/screenshots.
screenshot: build
	scripts/screenshot.sh build/screenshots

screenshots-update: build
	scripts/screenshot.sh docs/screenshots

# The normal build and the sanitizer build (ASan + UBSan), each with every test.
test: test-normal test-sanitize

test-normal: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B build-asan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DANIMORA_SANITIZE=ON -DANIMORA_WERROR=ON \
	    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# ThreadSanitizer over the playback tests; run by hand after changing threads
# (not part of `make test`, whose sanitizer build is ASan + UBSan).
test-threads: deps
	cmake -S . -B build-tsan $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
	cmake --build build-tsan -j $(JOBS) --target engine_tests
	TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/engine_tests \
	    --gtest_filter='Painter*:Composition*:FramesCommand*' --gtest_repeat=3

bench: deps
	cmake -S . -B build-release $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DANIMORA_BENCH=ON -DANIMORA_TESTS=OFF
	cmake --build build-release -j $(JOBS)
	bench/run.sh build-release

# Real fuzzing with libFuzzer (clang): `make fuzz TARGET=gif SECONDS=60`.
TARGET ?= gif
SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANIMORA_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzz_$(TARGET)
	mkdir -p fuzz-out/$(TARGET)
	build-fuzz/fuzz/fuzz_$(TARGET) -max_total_time=$(SECONDS) -max_len=65536 fuzz-out/$(TARGET) fuzz/corpus/$(TARGET)

clean:
	rm -rf build build-asan build-tsan build-release build-fuzz
