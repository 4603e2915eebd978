# The front door. `make play` builds and starts the game; `make test` builds everything and
# runs every test. Both install what they need first (scripts/install-deps, as root).
SHELL := /bin/bash
.DEFAULT_GOAL := play
.PHONY: deps play play-windows test unit fuzz e2e bench format clean \
        build-linux build-asan build-windows build-fuzz

deps:
	@scripts/install-deps

build-linux build-asan build-windows build-fuzz: build-%: deps
	@cmake --preset $* > build-$*.configure.log || { cat build-$*.configure.log; exit 1; }
	@rm -f build-$*.configure.log
	cmake --build --preset $*

play: build-linux
	scripts/play

play-windows: build-windows
	scripts/play-windows

unit: build-linux build-asan
	ctest --preset linux
	ctest --preset asan

fuzz: build-fuzz
	scripts/run-fuzz

e2e: build-linux build-windows
	scripts/e2e-native
	scripts/e2e-wine

test: build-linux build-asan build-windows build-fuzz
	ctest --preset linux
	ctest --preset asan
	scripts/run-fuzz
	scripts/e2e-native
	scripts/e2e-wine

bench: build-linux
	build/linux/bin/vantorel_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build run
