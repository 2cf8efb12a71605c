# Entry points: `make run` and `make test` (see README.md). Both install what is missing first.
BUILD_DIR      ?= build/release
ASAN_BUILD_DIR ?= build/asan
JOBS           ?= $(shell nproc)
CTEST_FLAGS    ?= --output-on-failure --timeout 600

.PHONY: run test deps build build-asan clean

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

clean:
	rm -rf build
