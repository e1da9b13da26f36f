# Plain entry points: `make` builds every tree, `make test` runs every test,
# `make deps` installs what is missing, `make demo` shows an update under Wine,
# `make release [FIRMWARE=image.hex]` writes the programs we hand out to dist/.
# Two Windows trees from the same sources: win32 (i686, the program we ship)
# and win64 (x86_64, for hosts that can't run 32-bit code); tools/wine-trees.sh
# says which of them this host tests (REFLASHER_WINE_ARCH=i686|x86_64|both forces it).
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: all deps native win32 win64 fuzz test test-native test-windows test-win32 test-win64 test-fuzz demo art release sign clean

all: native win32 win64

deps:
	@tools/install-deps.sh

native:
	tools/configure.sh native
	cmake --build --preset native -j $(JOBS)

win32 win64:
	tools/configure.sh $@
	cmake --build --preset $@ -j $(JOBS)

fuzz:
	@if command -v clang++ >/dev/null; then \
	  tools/configure.sh fuzz && cmake --build --preset fuzz -j $(JOBS); \
	else echo "clang++ not found: fuzz targets skipped"; fi

test: deps
	$(MAKE) test-native
	$(MAKE) test-windows
	$(MAKE) test-fuzz

test-native: native
	ctest --preset native -j $(JOBS)

# Both trees always build (each must compile cleanly everywhere); the Windows
# tier runs on the tree(s) this host can execute under Wine.
test-windows: win32 win64
	@trees=$$(tools/wine-trees.sh) || exit 1; failed=; \
	for tree in $$trees; do \
	  echo "== Windows tier, $$tree tree"; \
	  ctest --preset $$tree -j $(JOBS) || failed="$$failed $$tree"; \
	done; \
	if [ -n "$$failed" ]; then echo "Windows tier failed on:$$failed"; exit 1; fi

test-win32 test-win64: test-%: %
	ctest --preset $* -j $(JOBS)

test-fuzz: fuzz
	@tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# Redraws the bitmaps and the icon in resources/ (they are committed; the
# resource_pictures test fails when they and tools/art disagree).
art:
	tools/configure.sh native
	cmake --build --preset native --target reflasher-art -j $(JOBS)
	build/native/tools/art/reflasher-art resources

# A whole update of a simulated embosser in the real window (headless without a DISPLAY).
demo:
	@tools/demo.sh

# dist/: the file-mode programs for x86 and x64, with FIRMWARE also the builds
# that carry that image, and SHA256SUMS; the same bytes from every clone.
release: deps
	@JOBS=$(JOBS) tools/release.sh "$(FIRMWARE)"

# Signs the programs in dist/ in place, each with its detached signature beside it:
#   make sign SIGN_PKCS12=key.p12 SIGN_PASSWORD_FILE=pass.txt
#   make sign SIGN_PKCS11_MODULE=module.so SIGN_PKCS11_KEY=id SIGN_CERT=chain.pem
# optional SIGN_URL, SIGN_TIMESTAMP_URL; see tools/sign.sh. Not on deps: a signing
# machine needs only osslsigncode, not the build packages.
sign:
	@tools/sign.sh

clean:
	rm -rf build dist
