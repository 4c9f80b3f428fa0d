# SPDX-License-Identifier: GPL-3.0-or-later
# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= 2
FUZZ_SECONDS ?= 30

.PHONY: all deps configure build run test package bench fuzz fuzz-long sanitize format clean

all: build

deps:
	@./tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the program with an emulated K8 attached, so every command can be tried without hardware.
run: build
	cd $(BUILD) && ./src/app/kestrum --emulate K8

# A bounded fuzz pass (FUZZ_SECONDS) over the seed corpus, then every test; ctest's
# summary comes last.
test: build
	@$(MAKE) --no-print-directory fuzz
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package kestrum_<version>_<arch>.deb, built by CPack in $(BUILD) and copied
# here: `sudo apt install ./kestrum_*.deb` installs it. (`make test` checks it too.)
package: build
	@rm -f kestrum_*.deb $(BUILD)/kestrum_*.deb
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@cp $(BUILD)/kestrum_*.deb .
	@ls kestrum_*.deb

bench: deps
	@cmake -S . -B build-bench -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DKESTRUM_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target kestrum_bench kestrum-tool kestrum
	./build-bench/bench/kestrum_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./bench/tool_startup.sh build-bench
	./bench/window_startup.sh build-bench
	./bench/history_window.sh build-bench
	./bench/test_report.sh build-bench
	./bench/all_measurements.sh build-bench

# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
sanitize: deps
	@cmake -S . -B build-asan -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Arbitrary bytes through opening and decoding a data file, under ASan and UBSan.
fuzz: deps
	@cmake -S . -B build-fuzz -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DKESTRUM_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_open_and_decode fuzz_annotations
	@mkdir -p build-fuzz/corpus build-fuzz/annotations-corpus
	@echo "fuzzing the data-file parser for $(FUZZ_SECONDS) s (log: build-fuzz/fuzz.log)"
	@./build-fuzz/fuzz/fuzz_open_and_decode -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  build-fuzz/corpus fuzz/seeds >build-fuzz/fuzz.log 2>&1 || { tail -40 build-fuzz/fuzz.log; exit 1; }
	@grep -E '^stat::number_of_executed_units|^Done' build-fuzz/fuzz.log || true
	@echo "fuzzing the annotations file for 10 s (log: build-fuzz/fuzz-annotations.log)"
	@./build-fuzz/fuzz/fuzz_annotations -max_total_time=10 -print_final_stats=1 \
	  build-fuzz/annotations-corpus fuzz/annotation-seeds >build-fuzz/fuzz-annotations.log 2>&1 \
	  || { tail -40 build-fuzz/fuzz-annotations.log; exit 1; }
	@grep -E '^Done' build-fuzz/fuzz-annotations.log || true

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-bench build-asan build-fuzz kestrum_*.deb
