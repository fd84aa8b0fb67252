# The two commands a newcomer needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# CI builds with warnings as errors.
WERROR ?= $(if $(CI),ON,OFF)
RUN_ARGS ?=

.PHONY: all deps configure build run test asan headless fuzz package clean format

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default -DVELTRIX_WERROR=$(WERROR) > $(BUILD_DIR).configure.log 2>&1 || { cat $(BUILD_DIR).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory

run: build
	@$(BUILD_DIR)/bin/veltrix $(RUN_ARGS)

test: build
	@ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure --timeout 300

asan: deps
	cmake --preset asan && cmake --build --preset asan -j $(JOBS) && ctest --preset asan -j $(JOBS)

headless: deps
	cmake --preset headless && cmake --build --preset headless -j $(JOBS) && ctest --preset headless -j $(JOBS)

fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake --preset fuzz && cmake --build --preset fuzz -j $(JOBS)

# A Debian package of the release build: build/package/veltrix_<version>_<arch>.deb
package:
	@bash scripts/install-deps.sh package
	cmake --preset package && cmake --build --preset package -j $(JOBS)
	cd $(BUILD_DIR)/package && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR).configure.log
