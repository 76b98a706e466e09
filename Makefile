# Thin wrapper over CMake. `make demo` and `make test` are all a new machine needs.
BUILD     ?= build
ASAN      ?= build-asan
TSAN      ?= build-tsan
FUZZ      ?= build-fuzz
JOBS      ?= $(shell nproc)
CMAKE_GEN  = -G Ninja

.PHONY: deps demo test check-install sanitize tsan bench fuzz clean

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The demo writes the demo music, scans it into a fresh database and prints
# three playlists.
demo: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target tavopl
	$(BUILD)/tools/tavopl/tavopl demo

test: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Installs into a temporary prefix and builds and runs the example hosts
# against it (reuses $(BUILD)).
check-install: deps $(BUILD)/build.ninja
	BUILD=$(BUILD) JOBS=$(JOBS) scripts/check-install.sh

sanitize: deps
	cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON -DTAVO_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# The threaded tests under ThreadSanitizer: only the targets they need are
# built, and the stress test runs for its default few seconds.
TSAN_TESTS = manager_stress_test manager_library_test ingestion_test
tsan: deps
	cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_TSAN=ON -DTAVO_BENCH=OFF
	cmake --build $(TSAN) -j $(JOBS) --target $(TSAN_TESTS)
	ctest --test-dir $(TSAN) --output-on-failure -R '^($(subst $(eval) ,|,$(TSAN_TESTS)))$$'

bench: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

# Builds the fuzz targets and only what they link (see README, Fuzzing).
fuzz:
	@scripts/deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTAVO_FUZZ=ON -DTAVO_TESTS=OFF -DTAVO_BENCH=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_targets

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) $(FUZZ)
