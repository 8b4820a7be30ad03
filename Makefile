# The two commands of the README: `make run` and `make test`. Both install what is
# missing first (scripts/bootstrap), then build with CMake presets.

PRESET ?= dev
BUILD := build/$(PRESET)
JOBS ?= $(shell nproc)

.PHONY: all bootstrap configure build test run bench format format-check clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

run: build
	@scripts/run $(BUILD)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@scripts/bench build/release

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
