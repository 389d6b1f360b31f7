# The two commands of the README, `make run` and `make test`, and the install options.
BUILD_DIR ?= build/release
PREFIX ?= /usr/local
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: run test bench screenshots build configure deps install package format clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
		echo "No display: starting Tessel under Xvfb"; \
		xvfb-run -a ./$(BUILD_DIR)/tessel; \
	else \
		./$(BUILD_DIR)/tessel; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bench/run-bench $(BUILD_DIR)

# Renders the window offscreen in its main states, as PNG files.
SCREENSHOT_DIR ?= build/screenshots
screenshots: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tests/ui/tessel_screenshots $(SCREENSHOT_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	@if [ ! -f $(BUILD_DIR)/CMakeCache.txt ]; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS); \
	fi

# `make install PREFIX=~/.local` (DESTDIR=... stages the install under another root).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR), e.g. tessel_1.1.0_amd64.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

deps:
	@scripts/install-deps

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
