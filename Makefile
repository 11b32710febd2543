# make build: both targets. make test: build, then every test under Wine. make run: the demo.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all setup build test run bench fuzz clean

all: build

setup:
	@tools/setup.sh

build/x86/build.ninja:
	cmake -S . -B build/x86 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=Release

build/x64/build.ninja:
	cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

build: setup build/x86/build.ninja build/x64/build.ninja
	cmake --build build/x86 -j $(JOBS)
	cmake --build build/x64 -j $(JOBS)
	@tools/check-modules.sh build/x86 i386 build/x64 x86-64

test: build
	tools/with-display.sh ctest --test-dir build/x64 --output-on-failure -j $(JOBS)

bench: build
	tools/with-display.sh bash -c 'for b in ximage_bench entrylist_bench thumbcache_bench paint_bench; do echo "== $$b"; build/x64/wine-run build/x64/bin/$$b.exe; done'

run: build
	tools/run-demo.sh

# The cache-file fuzzer, built natively with libFuzzer, ASan and UBSan. Crashers land in
# tests/fuzz/cache_regressions/, which the Wine tests replay through the real cache.
FUZZ_RUNS ?= 2000000
FUZZ_SECONDS ?= 600
fuzz: setup
	mkdir -p build/native/cache_corpus
	clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I. \
	  tests/fuzz/CacheFuzz.cpp thumbs/CacheFormat.cpp ximage/PngBlock.cpp -o build/native/cache_fuzz
	cp tests/fuzz/cache_corpus/* build/native/cache_corpus/
	build/native/cache_fuzz -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=tests/fuzz/cache_regressions/ build/native/cache_corpus tests/fuzz/cache_regressions

clean:
	rm -rf build out
