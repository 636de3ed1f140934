# make run    build and start the window
# make test   build and pass every test (plain, then ASan+UBSan, then the library's threads under TSan)
# make bench  Release build, run the benchmarks
# make fuzz   clang build, run each fuzzer for a bounded time
# make package  the Debian package of both programs, checked with lintian
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build run test test-plain test-sanitize test-threads bench fuzz package clean

deps:
	@scripts/install-deps.sh

# The test builds carry no full debug information: -O2 keeps the warnings that
# need optimisation, line tables keep sanitizer reports readable, and both keep
# a clean run well inside CI's time.
build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DVANTOREL_WERROR=ON $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./build/vantorel

test-plain: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DVANTOREL_WERROR=ON -DVANTOREL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS) -LE no-sanitize

# The library under ThreadSanitizer: its thread tests only (Qt is not built for it).
test-threads: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DVANTOREL_WERROR=ON -DVANTOREL_TSAN=ON $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target test_pdh_threads
	TSAN_OPTIONS=halt_on_error=1 ./build-tsan/tests/pdh_threads/test_pdh_threads

test: test-plain test-sanitize test-threads

bench: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-release -j $(JOBS)
	scripts/run-benchmarks.sh build-release

fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF -DVANTOREL_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	scripts/run-fuzzers.sh build-fuzz $${FUZZ_SECONDS:-30}

package: build
	cd build && cpack -G DEB
	lintian --fail-on error build/vantorel_*.deb

clean:
	rm -rf build build-sanitize build-tsan build-release build-fuzz
