# Two commands do everything on a fresh Debian machine: `make test` and `make run`.
SHELL := /bin/bash
# What the window and quelvar-run need, and no more: `make run` installs only these.
# CLI11 parses quelvar-run's options, nlohmann-json writes its JSON reports and GMP holds the
# numbers of programs.
RUN_PACKAGES := cmake ninja-build g++ make qt6-base-dev libcli11-dev nlohmann-json3-dev libgmp-dev
# What only the tests, benchmarks, fuzz targets and the browser edition need, for `make test`.
# GoogleTest and Google Benchmark run the tests and the benchmarks. xvfb, xauth, xdotool and
# imagemagick drive and photograph the real window in its end-to-end test. clang and its runtimes
# build the fuzz targets. The install check validates the desktop entry and the metainfo, resolves
# the file type (shared-mime-info, gio), renders the manual pages and builds and lints the .deb
# (dpkg-dev for shlibdeps, lintian). emscripten builds the core for the browser, chromium runs the
# page in its test (with puppeteer-core from npm). graphviz reads the flow diagrams back.
# at-spi2-core, python3-pyatspi, dbus and openbox let the accessibility test read the real window
# as a screen reader does (xprop, from x11-utils, tells it when the window manager is up);
# qt6ct and qt6-gtk-platformtheme give it dark palettes to measure the frame's contrast on.
# python3-junitparser and python3-jsonschema read quelvar-run's JUnit XML and check its
# Gradescope and PrairieLearn results against their schemas (tap-parser, for its TAP, comes from
# npm, as tests/formats/package-lock.json pins it).
TEST_PACKAGES := libgtest-dev libbenchmark-dev python3-junitparser python3-jsonschema \
  xvfb xauth xdotool imagemagick clang libclang-rt-14-dev \
  desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db dpkg-dev lintian \
  emscripten chromium graphviz at-spi2-core python3-pyatspi dbus openbox \
  qt6ct qt6-gtk-platformtheme x11-utils
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)
BUILD := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
WEB_BUILD := build-web
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := valinteger text_reader program_text analyse engine line_store files check expand json
JOBS := $(shell nproc)

.PHONY: print-run-packages print-test-packages deps run-deps build build-programs build-asan build-fuzz build-web web test fuzz run bench package format clean

# For the test that make run installs nothing that only the tests need.
print-run-packages:
	@echo $(RUN_PACKAGES)
print-test-packages:
	@echo $(TEST_PACKAGES)

# Installs only what is missing, so a second run does nothing: `deps` for make test, `run-deps`
# for make run.
deps: PACKAGES = $(RUN_PACKAGES) $(TEST_PACKAGES)
run-deps: PACKAGES = $(RUN_PACKAGES)
deps run-deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing </dev/null; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELVAR_TESTS=ON
	cmake --build $(BUILD)

# Only the two programs, configured without the tests and benchmarks; `make build` or `make test`
# turns them on again in the same folder.
build-programs: run-deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELVAR_TESTS=OFF
	cmake --build $(BUILD) --target quelvar quelvar-run

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELVAR_SANITIZE=ON
	cmake --build $(ASAN_BUILD)

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVAR_FUZZ=ON
	cmake --build $(FUZZ_BUILD)

# The browser edition: the page in $(WEB_BUILD)/page, and the form's test tables to run under node;
# its browser test's puppeteer-core comes from npm, as web/test/package-lock.json pins it, and
# the workspace's CodeMirror, fflate and esbuild as web/page/package-lock.json does.
build-web: deps
	cd web/test && npm ci --no-audit --no-fund --loglevel=error
	cd web/page && npm ci --no-audit --no-fund --loglevel=error
	emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WEB_BUILD)

web: build-web

# Every test, in the normal build and again under AddressSanitizer and UBSan; then each fuzz
# target for a few seconds over its corpus; then the form's tables in the wasm build.
test: build build-asan build-fuzz build-web
	cd tests/formats && npm ci --no-audit --no-fund --loglevel=error
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(WEB_BUILD) --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (default 60), two at a time. Findings land in
# $(FUZZ_BUILD)/fuzz/crashes/; the inputs found go to $(FUZZ_BUILD)/fuzz/corpus/.
fuzz: build-fuzz
	@printf '%s\n' $(FUZZ_TARGETS) | xargs -P 2 -I{} sh -c \
	  '$(CURDIR)/$(FUZZ_BUILD)/fuzz/fuzz_{} -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(CURDIR)/$(FUZZ_BUILD)/fuzz/crashes/ \
	    $(CURDIR)/$(FUZZ_BUILD)/fuzz/corpus/{} $(CURDIR)/fuzz/corpus/{} > $(FUZZ_BUILD)/fuzz/{}.log 2>&1; \
	  status=$$?; echo "== {}: exit $$status"; \
	  grep -E "stat::(number_of_executed_units|average_exec_per_sec)|SUMMARY" $(FUZZ_BUILD)/fuzz/{}.log; \
	  exit $$status'

# The window, with examples/ as its working directory. Without a display it shows the batch
# runner instead, and says how to see the window.
run: build-programs
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: neither DISPLAY nor WAYLAND_DISPLAY is set. Here is quelvar-run on examples/multiply.rm:"; \
	  $(BUILD)/src/quelvar-run examples/multiply.rm; \
	  echo "To see the window, run 'make run' in a desktop session, or over ssh -X. 'make test' also"; \
	  echo "photographs it under a virtual display (xvfb-run): see $(BUILD)/window_e2e.png."; \
	else \
	  cd examples && ../$(BUILD)/src/quelvar; \
	fi

# quelvar_<version>_<arch>.deb in $(BUILD)/, for `apt install ./$(BUILD)/quelvar_*.deb`.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	$(BUILD)/bench/load_bench
	$(BUILD)/bench/tick_bench
	$(BUILD)/bench/large_file_bench
	$(BUILD)/bench/runner_bench $(BUILD)/src/quelvar-run
	xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/bench/window_bench
	$(BUILD)/bench/engine_bench $(BUILD)/src/quelvar-run $(BUILD)/bench/yardstick $(BUILD)/bench/startup_floor
	bench/grading.sh $(BUILD)/src/quelvar-run

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
