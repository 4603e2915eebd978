# The front door. `make play` builds and starts the game; `make test` builds everything and
# runs every test. Both install what they need first (scripts/install-deps, as root).
# `make web` builds the browser version into build/web/; `make play-web` serves it.
SHELL := /bin/bash
# Debian's own Python, where apt puts pytest and Selenium (the first python3 on PATH may be
# another one).
PYTHON := /usr/bin/python3
PYTEST := PYTHONDONTWRITEBYTECODE=1 $(PYTHON) -m pytest
.DEFAULT_GOAL := play
.PHONY: deps play play-windows play-web web test unit valgrind mutation conformance fuzz e2e \
        bench format clean build-linux build-asan build-windows build-fuzz build-web

deps:
	@scripts/install-deps

# The web preset sets NODE_PATH itself: Emscripten's JavaScript tools need Debian's node modules.
build-linux build-asan build-windows build-fuzz build-web: build-%: deps
	@cmake --preset $* > build-$*.configure.log || { cat build-$*.configure.log; exit 1; }
	@rm -f build-$*.configure.log
	cmake --build --preset $*

play: build-linux
	scripts/play

play-windows: build-windows
	scripts/play-windows

web: build-web

play-web: build-web
	scripts/play-web

unit: build-linux build-asan
	ctest --preset linux
	ctest --preset asan
	scripts/valgrind-unit

valgrind: build-linux
	scripts/valgrind-unit

# Plants each fault of tests/mutation/faults.txt in a scratch copy and counts those the unit
# tests catch; a few minutes, so not part of `make test`.
mutation: deps
	scripts/mutation

# The conformance program on port/ and under Wine, compared line by line.
conformance: build-linux build-windows
	tests/conformance/run

fuzz: build-fuzz
	scripts/run-fuzz

# The end-to-end tests alone: the native game under Xvfb and vantorel.exe under Wine.
e2e: build-linux build-windows
	$(PYTEST) tests/e2e

test: build-linux build-asan build-windows build-fuzz build-web
	ctest --preset linux
	ctest --preset asan
	scripts/valgrind-unit
	tests/conformance/run
	scripts/run-fuzz
	$(PYTEST) tests/web tests/e2e

# The frame on its own (Google Benchmark), then the whole program under Xvfb and Wine.
bench: build-linux build-windows
	build/linux/bin/vantorel_bench
	bench/play_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build run
