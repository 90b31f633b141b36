# The README's two commands, and the reliability checks. All install what is missing first.
BUILD_TEST     ?= build-test
BUILD_DEMO     ?= build
BUILD_SANITIZE ?= build-sanitize
BUILD_FUZZ     ?= build-fuzz
BUILD_RELEASE  ?= build-release
FUZZ_SECONDS   ?= 60
JOBS           ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test package release-check sanitize fuzz deps clean

deps:
	scripts/install-deps

test: deps
	cmake -S . -B $(BUILD_TEST) -DCMAKE_BUILD_TYPE=Debug -DTARVEL_TESTS=ON
	cmake --build $(BUILD_TEST) -j $(JOBS)
	cd $(BUILD_TEST) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

demo: deps
	cmake -S . -B $(BUILD_DEMO) -DCMAKE_BUILD_TYPE=Release -DTARVEL_TESTS=OFF
	cmake --build $(BUILD_DEMO) -j $(JOBS)
	scripts/run-demo $(BUILD_DEMO)

# The Debian package $(BUILD_DEMO)/tarvel_<version>_<arch>.deb, from a release build.
package: deps
	cmake -S . -B $(BUILD_DEMO) -DCMAKE_BUILD_TYPE=Release -DTARVEL_TESTS=OFF
	cmake --build $(BUILD_DEMO) -j $(JOBS)
	cd $(BUILD_DEMO) && cpack -G DEB

# Everything (the programs, the tests, the benchmarks) built as `make demo` builds, with
# g++'s optimizer on: the warnings it alone finds are errors here, not first in the demo.
# Built, not run; ccache is used when the machine has it.
release-check: deps
	cmake -S . -B $(BUILD_RELEASE) -DCMAKE_BUILD_TYPE=Release -DTARVEL_TESTS=ON -DTARVEL_BENCH=ON \
	    $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(BUILD_RELEASE) -j $(JOBS)

# The whole test suite built with clang under AddressSanitizer and UBSan.
sanitize: deps
	scripts/run-sanitize $(BUILD_SANITIZE) $(JOBS)

# Every fuzz target for FUZZ_SECONDS each; a crash's input is left in $(BUILD_FUZZ)/crashes/.
fuzz: deps
	scripts/run-fuzz $(BUILD_FUZZ) $(FUZZ_SECONDS) $(JOBS)

clean:
	rm -rf build $(BUILD_RELEASE) $(BUILD_SANITIZE) $(BUILD_FUZZ)
