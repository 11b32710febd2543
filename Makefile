# make build: both targets. make test: build, then every test under Wine. make run: the demo.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all setup build test run bench clean

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
	tools/with-display.sh bash -c 'for b in ximage_bench entrylist_bench; do echo "== $$b"; build/x64/wine-run build/x64/bin/$$b.exe; done'

run: build
	tools/run-demo.sh

clean:
	rm -rf build out
