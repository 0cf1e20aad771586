# make run: install what is missing, build and start linetree
# make test: install what is missing, build and run every test under Xvfb,
#            also built with AddressSanitizer and UndefinedBehaviorSanitizer
# make bench: time rebuild, repaint, drag and start on this display, or on Xvfb
# make package: build the Debian package build/linetree_<version>_<arch>.deb
# make screenshot: render the window on Xvfb into docs/screenshot.png

MAKEFLAGS += --no-print-directory

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all deps build sanitize-build run test bench package screenshot

all: build

deps:
	@scripts/install-deps

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD)
	@cmake --build $(BUILD) -j $(JOBS)

sanitize-build: deps
	@[ -f $(SANITIZE_BUILD)/CMakeCache.txt ] || \
		cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLINETREE_SANITIZE=ON
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ]; then \
		echo "make run: no display to show linetree on (DISPLAY is not set)" >&2; exit 1; fi
	./$(BUILD)/linetree

test: build sanitize-build
	@scripts/run-tests $(BUILD) $(SANITIZE_BUILD)

bench: build
	@if [ -n "$$DISPLAY" ]; then ./$(BUILD)/linetree-bench; \
	else scripts/xvfb ./$(BUILD)/linetree-bench; fi

package: build
	@cd $(BUILD) && cpack

screenshot: build
	@scripts/install-deps imagemagick x11-utils fonts-dejavu-core
	@scripts/screenshot ./$(BUILD)/linetree docs/screenshot.png
