# SPDX-FileCopyrightText: The linetree developers
# SPDX-License-Identifier: MIT

# make run: install what is missing, build and start linetree
# make test: install what is missing, build and run every test under Xvfb,
#            against Qt 6 and against Qt 5, and built with AddressSanitizer and
#            UndefinedBehaviorSanitizer
# make bench: time rebuild, repaint, drag and start on this display, or on Xvfb
# make package: build the Debian package (linetree, or linetree-qt5 with QT=5)
# make screenshot: render the window on Xvfb into docs/screenshot.png
# make examples: make the example trees of data/examples.txt into
#                data/examples/, and docs/examples.png of them all
#
# Qt 6 is the default: run, bench, package and screenshot build against it in
# build/. QT=5 builds them against Qt 5 in build-qt5/.

MAKEFLAGS += --no-print-directory

# All of Debian's hardening for build/ and build-qt5/
export DEB_BUILD_MAINT_OPTIONS = hardening=+all

QT ?= 6
QT6_BUILD = build
QT5_BUILD = build-qt5
SANITIZE_BUILD = build-sanitize
BUILD = $(QT$(QT)_BUILD)
JOBS ?= $(shell nproc)

# Debian's hardening flags, which dpkg-buildflags gives once install-deps has
# put dpkg-dev in place
DEBIAN_FLAGS = CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)"

# configure-and-build FOLDER, QT MAJOR VERSION, CMAKE ARGUMENTS, ENVIRONMENT:
# configures once, with warnings as errors, and again from scratch where the
# folder holds a build against the other Qt; then builds
define configure-and-build
	@grep -qsx 'QT_MAJOR_VERSION:STRING=$(2)' $(1)/CMakeCache.txt || { rm -rf $(1) && \
		$(4) cmake -S . -B $(1) -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DQT_MAJOR_VERSION=$(2) $(3); }
	@cmake --build $(1) -j $(JOBS)
endef

.PHONY: all deps build qt6-build qt5-build sanitize-build run test bench package screenshot \
	examples

all: build

deps:
	@scripts/install-deps

build: qt$(QT)-build

# Its tests compare its pictures with the Qt 5 build's.
qt6-build: deps
	$(call configure-and-build,$(QT6_BUILD),6,\
		-DLINETREE_OTHER_TOOLKIT_BINARY=$(CURDIR)/$(QT5_BUILD)/linetree,$(DEBIAN_FLAGS))

qt5-build: deps
	$(call configure-and-build,$(QT5_BUILD),5,,$(DEBIAN_FLAGS))

sanitize-build: deps
	$(call configure-and-build,$(SANITIZE_BUILD),$(QT),-DCMAKE_BUILD_TYPE=Debug \
		-DLINETREE_SANITIZE=ON)

# Without a display linetree says so itself, in one line.
run: build
	./$(BUILD)/linetree

test: qt6-build qt5-build sanitize-build
	@scripts/run-tests $(QT6_BUILD) $(QT5_BUILD) $(SANITIZE_BUILD)

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

examples: build
	@scripts/install-deps imagemagick fonts-dejavu-core
	@if [ -n "$$DISPLAY" ]; then scripts/examples ./$(BUILD)/linetree-render; \
	else scripts/xvfb scripts/examples ./$(BUILD)/linetree-render; fi
