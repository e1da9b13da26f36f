# Plain entry points: `make` builds both trees, `make test` runs every test,
# `make deps` installs what is missing, `make demo` shows an update under Wine.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: all deps native win32 fuzz test test-native test-win32 test-fuzz demo art clean

all: native win32

deps:
	@tools/install-deps.sh

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

fuzz:
	@if command -v clang++ >/dev/null; then \
	  cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j $(JOBS); \
	else echo "clang++ not found: fuzz targets skipped"; fi

test: deps
	$(MAKE) test-native
	$(MAKE) test-win32
	$(MAKE) test-fuzz

test-native: native
	ctest --preset native -j $(JOBS)

test-win32: win32
	ctest --preset win32 -j $(JOBS)

test-fuzz: fuzz
	@tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# Redraws the bitmaps and the icon in resources/ (they are committed; the
# resource_pictures test fails when they and tools/art disagree).
art:
	cmake --preset native >/dev/null
	cmake --build --preset native --target reflasher-art -j $(JOBS)
	build/native/tools/art/reflasher-art resources

# A whole update of a simulated embosser in the real window (headless without a DISPLAY).
demo:
	@tools/demo.sh

clean:
	rm -rf build
