# The two commands a fresh machine needs: `make run` and `make test`.
BUILD     ?= build
RUNDIR    := $(BUILD)/run
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test install package bench sanitize fuzz coverage clean format

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# A program folder under the build tree with the programs and the exchange files; settings
# live in a private folder there, so a user's own settings are never touched.
run: build
	@scripts/prepare-run $(BUILD) $(RUNDIR)
	@cd $(RUNDIR) && XDG_CONFIG_HOME=$(CURDIR)/$(RUNDIR)/config ./Lexora

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The programs, the bundled laws, desktop entries, icons and the man page under PREFIX.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb of the same installation, in $(BUILD)/.
package: build
	@cd $(BUILD) && cpack -G DEB > /dev/null && ls -1 $(CURDIR)/$(BUILD)/*.deb

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLEXORA_TESTS=OFF -DLEXORA_BENCH=ON > /dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	@bench/compare $(BUILD)-bench

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -G Ninja -DLEXORA_SANITIZE=ON > /dev/null
	@cmake --build $(BUILD)-sanitize -j $(JOBS)
	@cd $(BUILD)-sanitize && ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Line and branch coverage of the test suite, per library.
coverage: deps
	@cmake -S . -B $(BUILD)-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLEXORA_COVERAGE=ON > /dev/null
	@cmake --build $(BUILD)-coverage -j $(JOBS)
	@find $(BUILD)-coverage -name '*.gcda' -delete
	@cd $(BUILD)-coverage && ctest -j $(JOBS) > /dev/null || (ctest --rerun-failed --output-on-failure; false)
	@scripts/coverage $(BUILD)-coverage

# Every fuzz target for FUZZ_SECONDS (default 60); fails on any finding.
fuzz: deps
	@scripts/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitize $(BUILD)-coverage build-fuzz
