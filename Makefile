# The two commands of the README: `make run` and `make test`. Both install what is
# missing first (scripts/bootstrap), then build with CMake presets.

PRESET ?= dev
BUILD := build/$(PRESET)
JOBS ?= $(shell nproc)

# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60

.PHONY: all bootstrap configure build test run bench fuzz package windows windows-qt windows-package windows-test format format-check clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	@ctest --preset $(PRESET) -j $(JOBS)
	@JOBS=$(JOBS) scripts/test-windows

# The Windows cross build (MinGW-w64, build/windows): the program with its installer, the
# unit tests.
windows: bootstrap
	@JOBS=$(JOBS) scripts/windows-package >/dev/null
	@cmake --build --preset windows -j $(JOBS)

# Qt for Windows, built once per machine from Debian's source into ~/.cache/kalmotex.
windows-qt: bootstrap
	@JOBS=$(JOBS) scripts/windows-qt >/dev/null

# kalmotex.exe, kalmotex-cli.exe and the installer build/windows/kalmotex-setup-VERSION.exe.
windows-package: bootstrap
	@JOBS=$(JOBS) scripts/windows-package

# Its tests under Wine, in a private prefix in build/windows (skipped without Wine).
windows-test: bootstrap
	@JOBS=$(JOBS) scripts/test-windows

run: build
	@scripts/run $(BUILD)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@scripts/bench build/release

# The Debian package build/package/kalmotex_VERSION_ARCH.deb: `apt install ./build/package/kalmotex_*.deb`.
package: bootstrap
	@cmake --preset package >/dev/null
	@cmake --build --preset package -j $(JOBS)
	@cd build/package && cpack -G DEB
	@ls build/package/kalmotex_*.deb

fuzz:
	@scripts/bootstrap --fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/fuzz build/fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
