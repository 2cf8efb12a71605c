# SPDX-License-Identifier: Apache-2.0
# Entry points: `make run` and `make test` (see README.md). Both install what is missing first.
BUILD_DIR      ?= build/release
ASAN_BUILD_DIR ?= build/asan
JOBS           ?= $(shell nproc)
CTEST_FLAGS    ?= --output-on-failure --timeout 600

DEB_BUILD_DIR  ?= build/deb
PREFIX         ?= /usr/local

FUZZ_BUILD_DIR ?= build/fuzz
FUZZ_SECONDS   ?= 120

.PHONY: run test deps build build-asan fuzz screenshots bench install deb clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Toolkit-free code and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_WITH_UI=OFF -DQUORVANE_SANITIZE=ON
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/app/quorvane

test: build build-asan
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest $(CTEST_FLAGS) -j $(JOBS)

# The programs, manual pages, bash completion, desktop entry, icons and translation under PREFIX
# (default /usr/local), staged below DESTDIR if given; binaries stripped.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" --strip

# The Debian package (CPack) into DEB_BUILD_DIR, built from only what it holds, then checked by
# lintian: any error or warning fails.
deb: deps
	cmake -S . -B $(DEB_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
	cmake --build $(DEB_BUILD_DIR) -j $(JOBS) --target quorvane quorvane-cli quorvane_packaged_files
	rm -f $(DEB_BUILD_DIR)/quorvane_*.deb
	cd $(DEB_BUILD_DIR) && cpack -G DEB
	lintian --fail-on error,warning $(DEB_BUILD_DIR)/quorvane_*.deb

# Every fuzz target for FUZZ_SECONDS under libFuzzer with AddressSanitizer and UBSan (clang).
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_WITH_UI=OFF \
	    -DQUORVANE_SANITIZE=ON -DQUORVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target $$(cd fuzz && ls *_fuzz.cpp | sed 's/^/fuzz_/; s/_fuzz.cpp$$//')
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR) scripts/run-fuzzers

# quorvane-cli against the least its work must cost (a durable copy) and against exiftool, by number of
# jobs and of files, workloads built in build/bench-work (about 4.5 GB on disk; about ten minutes the
# first time); then the file list of the program with 100,000 files. Not part of `make test`.
bench: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvane-cli quorvane-bench quorvane-flush-delay quorvane_file_list_bench
	bench/run-bench $(BUILD_DIR) --work build/bench-work
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/ui/quorvane_file_list_bench

# PNGs of the windows, rendered offscreen for a person to look at, into build/screenshots/default,
# build/screenshots/dark (a dark palette) and build/screenshots/11pt (an 11-point font); and the
# German window, as a German locale shows it, into build/screenshots/de.
screenshots: build
	rm -rf build/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/ui/quorvane_screenshots build/screenshots
	LANG=de_DE.UTF-8 LC_ALL= LANGUAGE= QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/ui/quorvane_screenshots build/screenshots
	QT_QPA_PLATFORM=offscreen QUORVANE_SCREENSHOT_DIR=build/screenshots/default $(BUILD_DIR)/tests/help/help_windows_test
	QT_QPA_PLATFORM=offscreen QUORVANE_SCREENSHOT_DIR=build/screenshots/default $(BUILD_DIR)/tests/ui/csv_export_ui_test

clean:
	rm -rf build
