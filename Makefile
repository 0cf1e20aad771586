# SPDX-FileCopyrightText: The linetree developers
# SPDX-License-Identifier: MIT

# make run: install what is missing, build and start linetree
# make test: install what is missing, build and run every test under Xvfb,
#            against Qt 5 and against Qt 6, and built with AddressSanitizer and
#            UndefinedBehaviorSanitizer
# make bench: time rebuild, repaint, drag and start on this display, or on Xvfb
# make package: build the Debian package linetree_<version>_<arch>.deb
# make screenshot: render the window on Xvfb into docs/screenshot.png
#
# QT=6 builds run, bench, package and screenshot against Qt 6 in build-qt6/;
# QT=5, the default, against Qt 5 in build/.

MAKEFLAGS += --no-print-directory

# All of Debian's hardening for build/ and build-qt6/
export DEB_BUILD_MAINT_OPTIONS = hardening=+all

QT ?= 5
QT5_BUILD = build
QT6_BUILD = build-qt6
SANITIZE_BUILD = build-sanitize
BUILD = $(QT$(QT)_BUILD)
JOBS ?= $(shell nproc)

# Debian's hardening flags, which dpkg-buildflags gives once install-deps has
# put dpkg-dev in place
DEBIAN_FLAGS = CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)"

# configure-and-build FOLDER, CMAKE ARGUMENTS, ENVIRONMENT: configures once,
# with warnings as errors, then builds
define configure-and-build
	@[ -f $(1)/CMakeCache.txt ] || \
		$(3) cmake -S . -B $(1) -DCMAKE_COMPILE_WARNING_AS_ERROR=ON $(2)
	@cmake --build $(1) -j $(JOBS)
endef

.PHONY: all deps build qt5-build qt6-build sanitize-build run test bench package screenshot

all: build

deps:
	@scripts/install-deps

build: qt$(QT)-build

qt5-build: deps
	$(call configure-and-build,$(QT5_BUILD),-DQT_MAJOR_VERSION=5,$(DEBIAN_FLAGS))

# Its tests compare its pictures with the Qt 5 build's.
qt6-build: deps
	$(call configure-and-build,$(QT6_BUILD),-DQT_MAJOR_VERSION=6 \
		-DLINETREE_OTHER_TOOLKIT_BINARY=$(CURDIR)/$(QT5_BUILD)/linetree,$(DEBIAN_FLAGS))

sanitize-build: deps
	$(call configure-and-build,$(SANITIZE_BUILD),-DQT_MAJOR_VERSION=5 -DCMAKE_BUILD_TYPE=Debug \
		-DLINETREE_SANITIZE=ON)

run: build
	@if [ -z "$$DISPLAY" ]; then \
		echo "make run: no display to show linetree on (DISPLAY is not set)" >&2; exit 1; fi
	./$(BUILD)/linetree

test: qt5-build qt6-build sanitize-build
	@scripts/run-tests $(QT5_BUILD) $(QT6_BUILD) $(SANITIZE_BUILD)

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
