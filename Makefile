# Dravia4: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
JOBS ?= $(shell nproc)
BUILD ?= build/release
ASAN_BUILD ?= build/asan
RUN_DIR ?= $(CURDIR)/run-output
CONFORMANCE ?= $(firstword $(wildcard ../shared/conformance/run-conformance.sh) $(wildcard shared/conformance/run-conformance.sh))

.PHONY: all deps build run test test-release test-asan conformance format format-check bench fuzz-build fuzz fuzz-minimise clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-main-job.sh $(BUILD) $(RUN_DIR)

test: deps format-check test-release test-asan

# The sources as .clang-format lays them out, by one formatter version (another version lays
# some lines out differently): `make format` rewrites them, `make format-check` lists the
# files that differ and fails.
CLANG_FORMAT ?= clang-format-14
FORMATTED = $(shell git ls-files '*.cpp' '*.h')
format:
	@$(CLANG_FORMAT) --style=file -i $(FORMATTED)

format-check:
	@bad=$$(for f in $(FORMATTED); do $(CLANG_FORMAT) --style=file "$$f" | cmp -s - "$$f" || echo "$$f"; done); \
	if [ -n "$$bad" ]; then echo "Not formatted with $(CLANG_FORMAT) (run make format):"; echo "$$bad"; exit 1; fi; \
	echo "format check: every source file is formatted"

test-release:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory conformance

# The sweeps through a private Slurm and sshd (label "cluster") test scripts and schedulers, which
# the sanitizers cannot see into; the tests under a memory limit (label "memorylimit") cannot start
# with the sanitizers' reserved address space. The release pass runs them once.
test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIA_SANITIZE=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE 'cluster|memorylimit'

conformance:
	@if [ -n "$(CONFORMANCE)" ]; then \
	  bash $(CONFORMANCE) $(BUILD)/dravia4-batch; \
	else echo "conformance cases: ../shared/conformance not found, skipped"; fi

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDRAVIA_BUILD_BENCH=ON -DDRAVIA_BUILD_TESTS=OFF >/dev/null
	cmake --build build/bench -j $(JOBS) --target benchmarks
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# Fuzzing (clang, libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer). `make test`
# only replays the kept corpora in fuzz/corpus; `make fuzz` runs the campaigns one after
# another, FUZZ_SECONDS each; `make fuzz-minimise` merges what they found back into fuzz/corpus.
FUZZ_BUILD ?= build/fuzz
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?=
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DDRAVIA_FUZZ=ON -DDRAVIA_BUILD_APP=OFF -DDRAVIA_BUILD_TESTS=OFF >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	SECONDS_PER_TARGET=$(FUZZ_SECONDS) BUILD=$(FUZZ_BUILD) bash fuzz/run-campaigns.sh $(FUZZ_TARGETS)

fuzz-minimise: fuzz-build
	BUILD=$(FUZZ_BUILD) bash fuzz/minimise-corpora.sh $(FUZZ_TARGETS)

clean:
	rm -rf build run-output
