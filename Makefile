# The two commands of the README: `make demo` and `make test`. Both install what they need.
JOBS ?= $(shell nproc)

.PHONY: all deps build test sanitize asan tsan demo package bench fuzz clean windows windows-test

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# The tests on real drivers run in a virtual machine; where it cannot run they are skipped,
# and the reason is repeated after ctest's summary.
test: build
	@status=0; ctest --preset default -j $(JOBS) || status=$$?; \
	if [ -f build/realdrivers/results/unavailable ]; then \
	  echo "The tests on real drivers were SKIPPED: $$(cat build/realdrivers/results/unavailable)"; fi; \
	exit $$status
	JOBS=$(JOBS) scripts/windows-tests.sh

# The 32-bit Windows build (mingw-w64): Quorvel.dll with its runtime DLLs, lcdhost.exe and the
# test programs, all in build-windows/.
windows:
	@scripts/install-windows-deps.sh toolchain
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

# Its tests under Wine; skipped, with a message, where Wine cannot be installed.
windows-test:
	JOBS=$(JOBS) scripts/windows-tests.sh

asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

sanitize: asan tsan

demo: build
	scripts/demo.sh build

# Benchmarks in a release build; BENCH_ARGS shortens them (CI runs a smoke run).
BENCH_ARGS ?=
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target quorvel_bench
	build-release/bench/quorvel_bench $(BENCH_ARGS)

# The libFuzzer targets, each run for FUZZ_SECONDS (CI runs a short bounded run).
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

package: build
	cd build && cpack

clean:
	rm -rf build build-asan build-tsan build-release build-fuzz build-windows
