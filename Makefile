# The two commands that do everything on a fresh Debian machine: `make run` and `make test`.
JOBS ?= 2
CMAKE_QUIET = -Wno-dev --log-level=WARNING

.PHONY: deps configure build asan windows fuzz-build fuzz test run release bench install format clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug $(CMAKE_QUIET)

build: configure
	@cmake --build build -j$(JOBS)

# Everything again under ASan and UBSan, the windows and their offscreen tests included.
asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKEST_SANITIZE=ON -DKEST_WITH_QT=ON $(CMAKE_QUIET)
	@cmake --build build-asan -j$(JOBS)

# The i686 products in build-windows; the same sources for x86_64 with the tests that run under
# wine in build-windows64.
windows: deps
	@cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release $(CMAKE_QUIET)
	@cmake --build build-windows -j$(JOBS)
	@cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
		-DKEST_WINDOWS_TESTS=ON $(CMAKE_QUIET)
	@cmake --build build-windows64 -j$(JOBS)

# The libFuzzer targets, built with clang under ASan and UBSan in their own tree.
fuzz-build: deps
	@cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEST_FUZZ=ON $(CMAKE_QUIET)
	@cmake --build build-fuzz -j$(JOBS) --target fuzzers

# Every fuzz target for a million inputs (RUNS=n for another count).
fuzz: fuzz-build
	@scripts/run-fuzzers.sh

test: windows build asan fuzz-build
	@ctest --test-dir build --output-on-failure -j$(JOBS)
	@ctest --test-dir build-asan --output-on-failure -j$(JOBS)
	@ctest --test-dir build-fuzz --output-on-failure -j$(JOBS)
	@scripts/run-wine-tests.sh build-windows64 -j$(JOBS)

# Only the three programs the demo starts, so the first window does not wait for every test.
run: configure
	@cmake --build build -j$(JOBS) --target kestatid zel kestctl
	@scripts/run-demo.sh

PREFIX ?= /usr/local

release: deps
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKEST_WITH_QT=ON \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_QUIET)
	@cmake --build build-release -j$(JOBS)

# Every benchmark runs, even after one fails; then make fails if any did. The Windows tree's
# run under wine after the Linux tree's.
bench: release windows
	@status=0; for b in build-release/bench/*; do \
		[ -x "$$b" ] || continue; \
		"$$b" || { echo "$$b exited with status $$?" >&2; status=1; }; \
	done; scripts/run-wine-tests.sh build-windows64 --bench || status=1; exit $$status

# kestatid, kestctl and zel with the systemd unit, sleep hook, desktop entries, icon, manual pages
# and completion under PREFIX; DESTDIR stages the whole tree somewhere else.
install: release
	@DESTDIR="$(DESTDIR)" cmake --install build-release

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-windows build-windows64 build-release build-fuzz
