# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build/release
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: run test screenshots build configure deps format clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
		echo "No display: starting Tessel under Xvfb"; \
		xvfb-run -a ./$(BUILD_DIR)/tessel; \
	else \
		./$(BUILD_DIR)/tessel; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

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

deps:
	@scripts/install-deps

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
