# One-command entry points over the CMake presets. See README.md.
SHELL := /bin/bash
.DEFAULT_GOAL := help

# Debian packages the build, the tests and the tool need.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev pkg-config googletest libbenchmark-dev \
  libfreetype-dev libfontconfig-dev libpng-dev libcli11-dev libstb-dev \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 dpkg-dev \
  xvfb xauth xdotool x11-utils imagemagick valgrind python3 locales \
  fonts-noto-cjk fonts-wqy-microhei fonts-wqy-zenhei fonts-ipafont-gothic fonts-wine util-linux \
  libtomlplusplus-dev nlohmann-json3-dev libboost-dev curl python3-fonttools \
  chromium chromium-driver python3-selenium python3-pil lintian zlib1g-dev libz-mingw-w64-dev

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)
WINE := tools/wine-run.sh
JOBS ?= $(shell nproc)

.PHONY: format format-check help setup build build-native build-windows build-sanitize test test-native test-sanitize test-windows test-gui run clean fuzz bench dist dist-test

help:
	@echo "make run    - build the tool and make a font from the embedded data"
	@echo "make test   - install what is needed, build everything, run every test suite"
	@echo "make setup  - install the Debian packages the project needs"
	@echo "make dist   - the Windows zip and the Debian package in dist/"
	@echo "make fuzz   - run each libFuzzer target for FUZZ_SECONDS (default 60)"
	@echo "make bench  - time a whole build against FreeType alone, under Wine, the parts of a build, a studio redraw"
	@echo "make clean  - remove build/ and out/"

# Quick when everything is present: dpkg is asked first, apt only for what is missing.
setup:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi
	@# The window test runs the GUI under code page 936 too: it needs this locale.
	@if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then \
	  echo "Generating the zh_CN.UTF-8 locale"; \
	  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  $(SUDO) locale-gen >/dev/null; \
	fi

build/%/build.ninja:
	cmake --preset $* >/dev/null

build-native: setup build/native/build.ninja
	cmake --build build/native -j $(JOBS)

build-sanitize: setup build/sanitize/build.ninja
	cmake --build build/sanitize -j $(JOBS)

build-windows: setup build/windows/build.ninja
	cmake --build build/windows -j $(JOBS)

build: build-native build-sanitize build-windows

test-native: build-native
	ctest --test-dir build/native --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build/sanitize --output-on-failure -j $(JOBS)

test-windows: build-windows
	ctest --test-dir build/windows --output-on-failure -j $(JOBS)

# Only the window test (part of test-windows): the GUI under Xvfb and Wine.
# Screenshots are kept in build/windows/gui-artifacts/.
test-gui: build-windows
	ctest --test-dir build/windows --output-on-failure -R gui_window_test

# Every C++ file is kept in clang-format's shape.
format-check:
	@git ls-files -co --exclude-standard '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

format:
	@git ls-files -co --exclude-standard '*.cpp' '*.h' | xargs clang-format -i

# The builds and suites overlapped (see tools/test-all.sh); each suite's
# output printed whole when it ends; fails if any build or suite failed.
test: setup
	@MAKE="$(MAKE)" tools/test-all.sh

# The packages a player installs, from the native and Windows builds. The
# version is the project's, from the top CMakeLists.txt.
VERSION := $(shell sed -n 's/^project.qzffont VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST_DIR ?= dist

dist: build-native build-windows
	packaging/make_dist.sh --version $(VERSION) --native build/native --windows build/windows --out $(DIST_DIR)

# The packages unpacked outside the tree and run (the zip under Wine).
dist-test: dist
	packaging/dist_test.sh --version $(VERSION) --dist $(DIST_DIR)

# libFuzzer targets (clang), not part of `make test`. New inputs join
# tests/corpus/<target>/; crash inputs and sanitizer reports go to
# build/fuzz/artifacts/. The targets' own standard error is closed so the
# dictionary's diagnostics do not flood the run.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_dict_text fuzz_dict_binary fuzz_dict_edit fuzz_patch_pass fuzz_studio_request

fuzz: setup build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	@mkdir -p build/fuzz/artifacts
	@for t in $(FUZZ_TARGETS); do \
	  echo "== $$t ($(FUZZ_SECONDS) s) =="; mkdir -p tests/corpus/$$t; \
	  ASAN_OPTIONS=log_path=build/fuzz/artifacts/$$t.asan UBSAN_OPTIONS=log_path=build/fuzz/artifacts/$$t.ubsan \
	  ./build/fuzz/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=2 -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/artifacts/$$t- tests/corpus/$$t \
	    || { echo "$$t failed: see build/fuzz/artifacts/"; exit 1; }; \
	done

# Optimised build; micro-benchmarks of the parts, then the whole `qzffont
# build` (BENCH_RUNS runs, wall and CPU time, peak memory), each run paired
# with the floor in a process of its own: FreeType alone on one thread
# drawing the same glyphs plus one read and one write of the file.
# BENCH_VERBOSE=1 shows the pairs. The summary table adds the Windows build
# under Wine and a studio preview redraw.
BENCH_RUNS ?= 5
bench: setup build/bench/build.ninja build-windows
	cmake --build build/bench -j $(JOBS) --target qzffont build_floor pass_parts_bench render_bench studio_redraw_bench
	./build/bench/bench/pass_parts_bench
	./build/bench/bench/render_bench
	./build/bench/bench/studio_redraw_bench
	BENCH_SUMMARY=build/bench/bench-summary.txt ./build/bench/bench/build_floor ./build/bench/qzffont \
	  build/bench/resources/F_FONTJ.qzf build/bench/resources/dictionary.txt build/bench/bench-work $(BENCH_RUNS)
	/usr/bin/python3 bench/bench_table.py --summary build/bench/bench-summary.txt \
	  --redraw-bench ./build/bench/bench/studio_redraw_bench --wine-run $(WINE) --exe build/windows/qzffont.exe \
	  --runs $(BENCH_RUNS)

# The tool's main job on its embedded data: a font in the default face, in
# the style that suits a player best (glyphs fitted to fill and centred in
# their cells), and a picture of it beside the stock file and the game's way
# (the command line's default, built under build/native for the picture).
RUN_FACE ?= Noto Sans CJK SC
RUN_STYLE ?= --fit
RUN_BUILD = qzffont build --face "$(RUN_FACE)" $(RUN_STYLE) --out out/F_FONTJ.qzf
run: build-native
	@mkdir -p out
	./build/native/$(RUN_BUILD)
	./build/native/qzffont build --face "$(RUN_FACE)" --out build/native/game-way.qzf -q
	./build/native/qzffont preview --face "$(RUN_FACE)" --png out/preview.png \
	  --font build/native/game-way.qzf --label "the game's way (no style options)" \
	  --font out/F_FONTJ.qzf --label "built with $(RUN_STYLE)"
	@rm -f build/native/game-way.qzf
	@echo
	@echo "The font:    $(CURDIR)/out/F_FONTJ.qzf  (copy it over the game's F_FONTJ.qzf, after keeping the original)"
	@echo '  made with: $(RUN_BUILD)'
	@echo "The picture: $(CURDIR)/out/preview.png  (per size: the stock file, the game's way, $(RUN_STYLE))"

clean:
	rm -rf build out
