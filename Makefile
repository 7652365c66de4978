# Thin wrapper over CMake. `make run` and `make test` work on a fresh Debian 12 machine.
JOBS ?= 2
CMAKE_FLAGS ?=
# Warnings are errors in our own checks (make test, CI); other builds only show them.
# `make WERROR=ON build` asks for it by hand; left empty, a build folder keeps what it had.
WERROR ?=
werror_flag = $(if $(WERROR),-DSPIRALS_WERROR=$(WERROR))

.PHONY: all setup setup-web setup-windows configure build run test test-linux test-release test-asan test-wine test-wine32 \
        test-wine64 windows package bench clean web run-web test-web

all: build

setup:
	@scripts/setup

setup-web:
	@scripts/setup web

setup-windows:
	@scripts/setup windows

configure: setup
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPIRALS_BENCH=ON $(werror_flag) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build build -j$(JOBS)

# Only the desktop program and what it links: the tests and benchmarks wait for `make test`.
run: configure
	@cmake --build build -j$(JOBS) --target spirals
	@scripts/run

# Each CTest run keeps its results in <build folder>/ctest-junit.xml; the last lines of
# `make test` list from them what was skipped and why.
ctest_results = --output-junit ctest-junit.xml

test: setup-web
	@rm -f build*/ctest-junit.xml
	@$(MAKE) --no-print-directory WERROR=ON test-linux
	@$(MAKE) --no-print-directory WERROR=ON test-release
	@$(MAKE) --no-print-directory WERROR=ON test-wine
	@$(MAKE) --no-print-directory WERROR=ON test-fuzz
	@$(MAKE) --no-print-directory WERROR=ON test-web
	@$(MAKE) --no-print-directory WERROR=ON test-asan
	@scripts/test-summary build build-win32 build-win64 build-web build-asan

test-linux: build
	@ctest --test-dir build --output-on-failure -j$(JOBS) --timeout 300 $(ctest_results)

# The optimised build a user makes (GCC at -O3), tests and benchmarks included: it must compile
# without a warning. Built, not run: the tests above already ran the same code.
test-release: setup
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSPIRALS_BENCH=ON $(werror_flag) >/dev/null
	@cmake --build build-release -j$(JOBS)

# The whole tree built with clang, AddressSanitizer and UndefinedBehaviorSanitizer; the unit and
# conformance tests run again there, with leak checks.
test-asan: setup
	@CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSPIRALS_SANITIZE=ON $(werror_flag) >/dev/null
	@cmake --build build-asan -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j$(JOBS) -L 'unit|conformance' --timeout 600 $(ctest_results)

# The Windows builds (32-bit and 64-bit), cross-compiled with mingw-w64.
windows: setup-windows
	@cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release $(werror_flag) >/dev/null
	@cmake --build build-win32 -j$(JOBS)
	@cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release $(werror_flag) >/dev/null
	@cmake --build build-win64 -j$(JOBS)

# The packages: build/spirals_<version>_amd64.deb (CPack) and build-win32/spirals-setup.exe
# (NSIS, made by the 32-bit Windows build).
package: build windows
	@cmake --build build --target package
	@ls build/spirals_*_amd64.deb build-win32/spirals-setup.exe

# The tests that run as Windows programs: the 32-bit build under 32-bit Wine, the 64-bit build
# under 64-bit Wine, each in its own prefix. Where the kernel refuses i386 programs, the tests
# that run 32-bit code are skipped with the reason (scripts/wine-env) and the rest still run;
# `make test-wine32`, asked for by name there, fails with that reason instead.
test-wine: windows
	@ctest --test-dir build-win32 --output-on-failure --timeout 900 $(ctest_results)
	@ctest --test-dir build-win64 --output-on-failure --timeout 900 $(ctest_results)

test-wine32:
	@bash -c '. scripts/wine-env && spirals_i386_require'
	@ctest --test-dir build-win32 --output-on-failure --timeout 900 $(ctest_results)

test-wine64:
	@ctest --test-dir build-win64 --output-on-failure --timeout 900 $(ctest_results)

# The Windows builds too: bench/measure_windows.sh runs both programs of build-win64 under Wine.
bench: windows
	@scripts/setup bench
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSPIRALS_BENCH=ON -DSPIRALS_TESTS=OFF >/dev/null
	@cmake --build build-bench -j$(JOBS)
	@scripts/bench

clean:
	rm -rf build build-asan build-release build-win32 build-win64 build-bench build-fuzz build-web

# The browser build: build-web/spirals.html with its .js and .wasm, made by Debian's emscripten.
# Its tools run on Debian's Python and on node, and need Debian's own node modules, wherever
# `python3` and `node` come from.
web_env = EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))

web: setup-web
	@$(web_env) emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release $(werror_flag) >/dev/null
	@$(web_env) cmake --build build-web -j$(JOBS)

# Serves build-web/ on 127.0.0.1 at a free port and prints the address.
run-web: web
	@scripts/serve-web build-web

# Headless Chromium opens the page and drives it over its DevTools protocol.
test-web: web
	@ctest --test-dir build-web --output-on-failure --timeout 300 $(ctest_results)

# The fuzz targets, built with clang (libFuzzer, ASan, UBSan) in their own folder. `make fuzz`
# gives each FUZZ_SECONDS from its committed seeds and what earlier runs kept in
# build-fuzz/corpus, keeping new inputs there and findings in build-fuzz/findings;
# `make test-fuzz` gives each 10 seconds from the committed seeds alone and fails on any
# finding. FUZZ_TARGETS picks some of them (default: all).
.PHONY: fuzz fuzz-build test-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=

fuzz-build: setup
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPIRALS_FUZZ=ON $(werror_flag) >/dev/null
	@cmake --build build-fuzz -j$(JOBS) --target fuzz_all

fuzz: fuzz-build
	@scripts/fuzz build-fuzz $(FUZZ_SECONDS) keep $(FUZZ_TARGETS)

test-fuzz: fuzz-build
	@scripts/fuzz build-fuzz 10 test $(FUZZ_TARGETS)
