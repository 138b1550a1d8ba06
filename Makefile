# The two commands a newcomer needs:
#   make demo   install what is missing, build both builds, fill dist/ and run the gauges
#   make test   install what is missing, build and run every test of both builds
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: demo test deps linux linux-sanitize windows dist test-linux test-linux-sanitize test-windows clean

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

clean:
	rm -rf build dist out
