# The README's two commands. Both install what is missing first.
BUILD_TEST  ?= build-test
BUILD_DEMO  ?= build
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test deps clean

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

clean:
	rm -rf build
