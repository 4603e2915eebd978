# The front door. `make play` builds the native game alone and starts it; `make test` builds
# everything and runs every test; `make dist` makes the three releases in build/dist/. Each
# goal first installs the Debian packages it needs, and no more (scripts/install-deps GOAL,
# as root). `make web` builds the browser version into build/web/; `make play-web` serves it.
SHELL := /bin/bash
# Debian's own Python, where apt puts pytest and Selenium (the first python3 on PATH may be
# another one).
PYTHON := /usr/bin/python3
PYTEST := PYTHONDONTWRITEBYTECODE=1 $(PYTHON) -m pytest
.DEFAULT_GOAL := play
.PHONY: play play-windows play-web web dist test unit valgrind mutation conformance fuzz e2e \
        release bench format clean build-play build-linux build-asan build-windows build-fuzz \
        build-web

# The packages each preset's build needs: scripts/install-deps takes the goal.
goal_play := play
goal_windows := windows
goal_web := web
goal_linux := test
goal_asan := test
goal_fuzz := test

deps-%:
	@scripts/install-deps $*

# The web preset sets NODE_PATH itself: Emscripten's JavaScript tools need Debian's node modules.
.SECONDEXPANSION:
build-play build-linux build-asan build-windows build-fuzz build-web: build-%: deps-$$(goal_$$*)
	@cmake --preset $* > build-$*.configure.log || { cat build-$*.configure.log; exit 1; }
	@rm -f build-$*.configure.log
	cmake --build --preset $*

play: build-play
	scripts/play

play-windows: build-windows
	scripts/play-windows

web: build-web

play-web: build-web
	scripts/play-web

# The Windows zip, the Debian package and the web tarball, with their SHA256SUMS.
dist: deps-dist
	scripts/dist

unit: build-linux build-asan
	ctest --preset linux
	ctest --preset asan
	scripts/valgrind-unit

valgrind: build-linux
	scripts/valgrind-unit

# Plants each fault of tests/mutation/faults.txt in a scratch copy and counts those the unit
# tests catch; a few minutes, so not part of `make test`.
mutation: deps-test
	scripts/mutation

# The conformance program on port/ and under Wine, compared line by line.
conformance: build-linux build-windows
	tests/conformance/run

fuzz: build-fuzz
	scripts/run-fuzz

# The end-to-end tests alone: the native game under Xvfb and vantorel.exe under Wine.
e2e: build-linux build-windows
	$(PYTEST) tests/e2e

# The releases as players meet them: unpacked, installed and played.
release: deps-test dist
	$(PYTEST) tests/release

test: deps-test build-linux build-asan build-windows build-fuzz build-web dist
	ctest --preset linux
	ctest --preset asan
	scripts/valgrind-unit
	tests/conformance/run
	scripts/run-fuzz
	$(PYTEST) tests/web tests/e2e tests/release

# The frame on its own (Google Benchmark), then the whole program under Xvfb and Wine.
bench: build-linux build-windows
	build/linux/bin/vantorel_bench
	bench/play_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build run
