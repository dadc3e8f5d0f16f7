# The two commands a fresh machine needs: `make run` and `make test`.
BUILD     ?= build
RUNDIR    := $(BUILD)/run
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench clean format

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

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLEXORA_TESTS=OFF -DLEXORA_BENCH=ON > /dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	@bench/compare $(BUILD)-bench

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD)-bench
