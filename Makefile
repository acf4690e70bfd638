# Trellisane: `make run` starts the program, `make test` runs the whole suite, `make package`
# builds the Debian package. Each installs the Debian packages it needs first, configures a
# Release build into build/ and builds it.

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 60
# Extra arguments for configuring build/, e.g. CMAKE_ARGS=-DTRELLISANE_STRICT_WARNINGS=ON.
CMAKE_ARGS ?=

.PHONY: run test bench package deps configure build screenshot clean sanitize tsan lint fuzz mutate

run: build
	@./scripts/run-window.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The figures of docs/performance.md: installs the measuring tools, configures again (so Google
# Benchmark is found), builds the benchmarks and runs them (scripts/bench.sh), printing one table.
bench: deps
	@./scripts/install-deps.sh libbenchmark-dev hyperfine rename gnuplot-nox time python3 libx11-dev
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./scripts/bench.sh $(BUILD)

# The Debian package, named as Debian names it (trellisane_VERSION_ARCH.deb), into build/.
package: build
	cd $(BUILD) && cpack

# The end-to-end tests that photograph the window save their pictures into docs/.
screenshot: build
	for test in test_samples test_add test_languages; do \
		TRELLISANE_BUILD=$(abspath $(BUILD)) TRELLISANE_E2E_DOCS=$(CURDIR)/docs \
			/usr/bin/python3 tests/e2e/$$test.py || exit 1; \
	done

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build folder.
sanitize: deps
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELLISANE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The tests whose threads are the project's own, under ThreadSanitizer.
tsan: deps
	@test -f $(TSAN_BUILD)/CMakeCache.txt || cmake -S . -B $(TSAN_BUILD) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELLISANE_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target app_test folders_test rename_test
	cd $(TSAN_BUILD) && ctest --output-on-failure -L threads

# clang-tidy and cppcheck over the project's sources, with the normal build's compile commands.
lint: build
	@./scripts/install-deps.sh clang-tidy cppcheck
	JOBS=$(JOBS) ./scripts/lint.sh $(BUILD)

# Each libFuzzer target for FUZZ_SECONDS, growing the corpus kept in fuzz/corpus/.
fuzz:
	./scripts/fuzz.sh $(FUZZ_SECONDS)

# A bounded mutation pass over rename/ and folders/.
mutate: deps
	./scripts/mutate.py

deps:
	@./scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD)
