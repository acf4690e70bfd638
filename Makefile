# Trellisane: `make run` starts the program, `make test` runs the whole suite, `make package`
# builds the Debian package. Each installs the Debian packages it needs first, configures a
# Release build into build/ and builds it.

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test bench package deps configure build screenshot clean

run: build
	@./scripts/run-window.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	cd $(BUILD) && for b in bench_rename bench_walk bench_add; do if [ -x ./$$b ]; then ./$$b; fi; done

# The Debian package, named as Debian names it (trellisane_VERSION_ARCH.deb), into build/.
package: build
	cd $(BUILD) && cpack

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
