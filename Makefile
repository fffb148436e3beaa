# Set-up and everyday commands. Each target installs what is missing first.
JOBS    ?= $(shell nproc)
BUILD   ?= build
CMAKE   := cmake -G Ninja -Wno-dev
export QT_QPA_PLATFORM ?= offscreen

.PHONY: deps build run test bench sanitize fuzzers fuzz fuzz-seeds clean

deps:
	@./tools/install-deps

build: deps
	@[ -f $(BUILD)/build.ninja ] || $(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: export QT_QPA_PLATFORM :=
run: build
	./$(BUILD)/src/app/kalvograf

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@[ -f build-bench/build.ninja ] || $(CMAKE) -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKALVO_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@./tools/run-benchmarks build-bench

sanitize: deps
	@[ -f build-asan/build.ninja ] || $(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKALVO_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS)

FUZZ_SECONDS ?= 60
fuzzers: deps
	@[ -f build-fuzz/build.ninja ] || CXX=clang++ $(CMAKE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVO_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers

# The corpus grows in build-fuzz/corpus; the seeds in fuzz/seeds change only
# through fuzz-seeds, whose result is meant to be committed.
fuzz: fuzzers
	@./tools/run-fuzzers build-fuzz $(FUZZ_SECONDS)

fuzz-seeds: fuzzers
	@./tools/run-fuzzers --update-seeds build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-bench build-asan build-fuzz
