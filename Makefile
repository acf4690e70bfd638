# Trellisane: `make run` starts the program, `make test` runs the whole suite. Both install the
# Debian packages they need first, configure a Release build into build/ and build it.

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test bench deps configure build screenshot clean

run: build
	@./scripts/run-window.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The figures of docs/performance.md: installs the measuring tools, configures again (so Google
# Benchmark is found), builds the benchmarks and runs them (scripts/bench.sh), printing one table.
bench: deps
	@./scripts/install-deps.sh libbenchmark-dev hyperfine rename gnuplot-nox time python3
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./scripts/bench.sh $(BUILD)

screenshot: build
	@./scripts/install-deps.sh xdotool imagemagick
	./scripts/screenshot.sh $(BUILD) docs/screenshot.png

deps:
	@./scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD)
