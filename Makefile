# Orvane: `make demo` runs the control on the bundled library, `make test`
# builds everything and runs every test (native, sanitizers, then Wine).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all setup native asan win test test-native test-asan test-wine demo bench fuzz clean

all: native

setup:
	@scripts/setup

native: setup
	@cmake -S . -B build/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/native -j $(JOBS)

asan: setup
	@cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON -DORVANE_BENCH=OFF >/dev/null
	@cmake --build build/asan -j $(JOBS) --target orvane_core_tests

win: setup
	@cmake -S . -B build/win $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/win -j $(JOBS)

test-native: native
	@echo "== native core tests"
	@build/native/tests/orvane_core_tests --gtest_brief=1

test-asan: asan
	@echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	@ASAN_OPTIONS=detect_leaks=1 build/asan/tests/orvane_core_tests --gtest_brief=1

test-wine: win
	@echo "== Windows tests under Wine"
	@scripts/test-wine

test: test-native test-asan test-wine
	@echo "== all tests passed"

demo: native
	@scripts/demo

bench: native
	@build/native/bench/orvane_bench

clean:
	rm -rf build
