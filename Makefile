# The two commands a newcomer needs:
#   make demo   install what is missing, build both builds, fill dist/ and run the gauges
#   make test   install what is missing, build and run every test of both builds
JOBS ?= 2
MAKEFLAGS += --no-print-directory

FUZZ_SECONDS ?= 600
SOAK_CYCLES ?= 100000
STRESS_STEPS ?= 200000

.PHONY: demo test deps linux linux-sanitize windows dist test-linux test-linux-sanitize test-windows \
	fuzz soak bench clean

demo: deps linux windows dist
	@scripts/demo.sh

test: deps test-linux test-linux-sanitize test-windows

deps:
	@scripts/install-deps.sh

linux linux-sanitize windows: deps
	@cmake --preset $@ >/dev/null
	@cmake --build --preset $@ -j$(JOBS)

dist: windows linux
	@rm -rf dist
	@cmake --install build/windows --prefix dist >/dev/null
	@echo "modules in dist/:" && ls dist

test-linux: linux
	ctest --preset linux -j$(JOBS)

test-linux-sanitize: linux-sanitize
	ctest --preset linux-sanitize -j$(JOBS)

test-windows: windows
	ctest --preset windows -j$(JOBS)

# Longer reliability runs, outside the test command.
fuzz:
	@scripts/install-deps.sh fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j$(JOBS) --target gauge_fuzzer
	@mkdir -p build/fuzz/corpus build/fuzz/findings
	@cp -n tests/fuzz/corpus/* build/fuzz/corpus/
	build/fuzz/tests/gauge_fuzzer -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 \
		-artifact_prefix=build/fuzz/findings/ build/fuzz/corpus

bench: linux windows
	@/usr/bin/python3 scripts/bench.py

soak: linux-sanitize
	SOAK_CYCLES=$(SOAK_CYCLES) build/linux-sanitize/tests/soak_tests
	STRESS_STEPS=$(STRESS_STEPS) build/linux-sanitize/tests/stress_tests

clean:
	rm -rf build dist out
