# Orvane: `make demo` runs the control on the bundled library, `make test`
# builds everything and runs every test (native, sanitizers, then Wine).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja
# Whether this machine runs 32-bit programs, asked once for the whole run
# (scripts/runs-32bit; ORVANE_NO_32BIT=1 answers no on any machine).
ORVANE_RUNS_32BIT := $(shell scripts/runs-32bit)
export ORVANE_RUNS_32BIT

.PHONY: all setup setup-demo native demo-native demo-win asan win win32 dist fuzz-build test test-layers test-native test-asan test-fuzz test-wine demo bench fuzz clean
FUZZ_SECONDS ?= 60

all: native

setup:
	@scripts/setup

setup-demo:
	@scripts/setup demo

# The demo configures the same folders without tests, so each configuration
# says which it wants.
NATIVE_CONFIGURE = cmake -S . -B build/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
WIN_CONFIGURE = cmake -S . -B build/win $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

native: setup
	@$(NATIVE_CONFIGURE) -DORVANE_TESTS=ON -DORVANE_BENCH=ON >/dev/null
	@cmake --build build/native -j $(JOBS)

asan: setup
	@cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON -DORVANE_BENCH=OFF >/dev/null
	@cmake --build build/asan -j $(JOBS) --target orvane_core_tests

win: setup
	@$(WIN_CONFIGURE) -DORVANE_TESTS=ON >/dev/null
	@cmake --build build/win -j $(JOBS)

# What the demo runs, and nothing else: the library tool, the 64-bit
# modules and the test container.
demo-native: setup-demo
	@$(NATIVE_CONFIGURE) -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF >/dev/null
	@cmake --build build/native -j $(JOBS) --target orvane-toc

demo-win: setup-demo
	@$(WIN_CONFIGURE) -DORVANE_TESTS=OFF >/dev/null
	@cmake --build build/win -j $(JOBS) --target orvane_ocx harfix testcon

# The same modules, tests and container for 32-bit Windows, which most hosts
# of OLE controls are.
win32: setup
	@cmake -S . -B build/win32 $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=ON >/dev/null
	@cmake --build build/win32 -j $(JOBS)

# The bundle for host developers: build/dist/orvane-<version>-windows.zip.
dist: win win32
	@scripts/dist

# Includes point from higher folders to lower ones only, and no two folders
# include each other.
test-layers:
	@echo "== folder layers"
	@scripts/check-layers
	@scripts/check-guards

test-native: native
	@echo "== native core tests"
	@build/native/tests/orvane_core_tests --gtest_brief=1

test-asan: asan
	@echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	@ASAN_OPTIONS=detect_leaks=1 build/asan/tests/orvane_core_tests --gtest_brief=1

fuzz-build: setup
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_FUZZ=ON -DORVANE_BENCH=OFF >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_toc_reader fuzz_catalogue fuzz_text_outline fuzz_section_queries fuzz_book_reading

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600).
fuzz: fuzz-build win
	@scripts/fuzz $(FUZZ_SECONDS)

test-fuzz: fuzz-build
	@echo "== fuzz targets, 10 s each"
	@scripts/fuzz 10 --native-only

test-wine: win win32
	@echo "== Windows tests under Wine"
	@scripts/test-wine

test: test-layers test-native test-asan test-fuzz test-wine
	@echo "== all tests passed"

demo: demo-native demo-win
	@scripts/demo

bench: native
	@build/native/bench/orvane_bench

clean:
	rm -rf build
