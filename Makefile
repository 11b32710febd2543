# make build: both targets. make test: build, then the pure-logic tests natively and every test under Wine. make run: the demo.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all setup build test run bench fuzz mutate dist clean

all: build

setup:
	@tools/setup.sh

build/x86/build.ninja:
	cmake -S . -B build/x86 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=Release

build/x64/build.ninja:
	cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

# The pure-logic tests, built for this machine with sanitizers.
build/native-tests/build.ninja:
	cmake -S tests/native -B build/native-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++

build: setup build/x86/build.ninja build/x64/build.ninja
	cmake --build build/x86 -j $(JOBS)
	cmake --build build/x64 -j $(JOBS)
	@tools/check-modules.sh build/x86 i386 build/x64 x86-64

test: build build/native-tests/build.ninja
	cmake --build build/native-tests -j $(JOBS)
	ctest --test-dir build/native-tests --output-on-failure
	tools/with-display.sh ctest --test-dir build/x64 --output-on-failure -j $(JOBS)

# frame_bench takes a ten-minute video made by the library generator.
bench: build
	@[ -f build/bench/ten-minutes.avi ] || python3 tools/library/make_library.py --video build/bench/ten-minutes.avi 600
	tools/with-display.sh bash -c 'for b in ximage_bench entrylist_bench thumbcache_bench paint_bench thumbnail_bench; do echo "== $$b"; build/x64/wine-run build/x64/bin/$$b.exe; done; \
	  echo "== frame_bench"; build/x64/wine-run build/x64/bin/frame_bench.exe "Z:$(CURDIR)/build/bench/ten-minutes.avi"'

run: build
	tools/run-demo.sh

# The release: the 32-bit Rembrix.dll and Rembrix.DEU with INSTALL.txt and SHA256SUMS in
# out/dist/Rembrix-<version>-win32.zip, byte for byte the same from any folder.
dist: setup
	tools/dist/make-dist.sh

# Small faults from tools/mutate/faults.txt, applied one at a time to a copy of the sources in
# build/mutate: which of them no test notices, and the score.
mutate: setup
	python3 tools/mutate/mutate.py

# The fuzzers, built natively with libFuzzer, ASan and UBSan: the thumbnail cache over a folder in
# memory (sequences of opens, lookups, adds, flushes and reopens on a mutated cache file), the
# player's copy-data blocks with the lists built from them,
# the raw HID reports with the container sniffer, the checks in front of image decoding with the PNG
# block reader, and the media stack's format blocks with the grabbed frame's DIB header; each for
# FUZZ_RUNS inputs or FUZZ_SECONDS. They are targets of tests/native, over the pure sources that
# cmake/PureSources.cmake lists for the native tests too.
# Crashers land in tests/fuzz/<name>_regressions/.
FUZZ_RUNS ?= 2000000
FUZZ_SECONDS ?= 900
build/native-fuzz/build.ninja:
	cmake -S tests/native -B build/native-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DREMBRIX_FUZZ=ON
define run_fuzzer
	mkdir -p build/native/$(1)_corpus
	cp tests/fuzz/$(1)_corpus/* build/native/$(1)_corpus/
	build/native-fuzz/$(1)_fuzz -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=tests/fuzz/$(1)_regressions/ build/native/$(1)_corpus tests/fuzz/$(1)_regressions
endef
fuzz: setup build/native-fuzz/build.ninja
	cmake --build build/native-fuzz -j $(JOBS)
	$(call run_fuzzer,cache)
	$(call run_fuzzer,copydata)
	$(call run_fuzzer,input)
	$(call run_fuzzer,image)
	$(call run_fuzzer,dshow)

clean:
	rm -rf build out
