# SPDX-FileCopyrightText: The linetree developers
# SPDX-License-Identifier: MIT

# make run: install what is missing, build and start linetree
# make test: install what is missing, build and run every test under Xvfb,
#            also built with AddressSanitizer and UndefinedBehaviorSanitizer
# make bench: time rebuild, repaint, drag and start on this display, or on Xvfb
# make package: build the Debian package build/linetree_<version>_<arch>.deb
# make screenshot: render the window on Xvfb into docs/screenshot.png

MAKEFLAGS += --no-print-directory

# Debian's hardening flags for build/, which dpkg-buildflags gives once
# install-deps has put dpkg-dev in place
export DEB_BUILD_MAINT_OPTIONS = hardening=+all

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all deps build sanitize-build run test bench package screenshot

all: build

deps:
	@scripts/install-deps

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || \
		CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" cmake -S . -B $(BUILD)
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

# Every file in the package dated as the newest changelog entry, so that two
# builds of the same source give the same bytes
package: build
	@cd $(BUILD) && SOURCE_DATE_EPOCH=$$(dpkg-parsechangelog -l ../data/changelog -STimestamp) cpack

screenshot: build
	@scripts/install-deps imagemagick x11-utils fonts-dejavu-core
	@scripts/screenshot ./$(BUILD)/linetree docs/screenshot.png
