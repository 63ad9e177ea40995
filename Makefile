# make run   installs what is missing, builds the game and its data, and starts it
# make test  installs what is missing, builds everything, and runs every test
#            (SANITIZE=1: with ASan and UBSan)
# make tsan  builds and runs the threaded code's tests under ThreadSanitizer
# make serve builds and starts the game's web service on localhost:8079
SANITIZE ?= 0
JOBS ?= $(shell nproc)
ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-sanitize
CMAKE_FLAGS = -DSANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON
# Full stacks, so that the suppressions for the system's OpenGL driver can match. Full
# stacks unwind through tables that llvmpipe's compiler registers while it runs, which can
# deadlock inside the unwinder; Mesa's softpipe compiles nothing and draws the same.
TEST_ENV = LSAN_OPTIONS=fast_unwind_on_malloc=0:suppressions=$(CURDIR)/tests/sanitizer/lsan.supp \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 GALLIUM_DRIVER=softpipe
# softpipe draws slowly: a whole-program run of thousands of frames takes minutes.
TEST_TIMEOUT = 900
else
BUILD_DIR ?= build
CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWERROR=ON
TEST_TIMEOUT = 300
endif

.PHONY: all deps configure build run serve test tsan bench fuzz lint clang release clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Each of these builds only what it starts: the game with its data, or the web service.
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target game
	@$(BUILD_DIR)/Torvane2Xmas

# The game's web service on the game's default host, localhost:8079.
serve: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target torvane_service
	@$(BUILD_DIR)/torvane_service --host 127.0.0.1 --port 8079

# Display tests run on a virtual X server with Mesa's software OpenGL.
test: build
	@cd $(BUILD_DIR) && $(TEST_ENV) TORVANE_DISPLAY_TESTS=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
		ctest --output-on-failure -j $(JOBS) --timeout $(TEST_TIMEOUT)

# The threaded code under ThreadSanitizer, in a build of its own that holds only its tests:
# the web requests' workers and the web service. Each program runs whole; any report of
# the checker fails it.
tsan: deps
	@cmake -S . -B build-tsan -DTSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWERROR=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target torvane_thread_tests torvane_service_tests
	@build-tsan/torvane_thread_tests
	@build-tsan/torvane_service_tests

bench: build
	@for b in $(BUILD_DIR)/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# The same sources must also build warning-free with clang.
clang: deps
	@CC=clang CXX=clang++ cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON >/dev/null
	@cmake --build build-clang -j $(JOBS)

# The fuzz targets need clang's libFuzzer: a separate build in build-fuzz, with the
# sanitizers, runs each target for FUZZ_SECONDS from its seeds and what it found before,
# several at once. Every target runs even after one has failed; the failures are listed
# at the end.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS = -fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=$(CURDIR)/tools/fuzz/coverage-ignorelist.txt
fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=ON \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@scripts/run-fuzz-targets.sh $(FUZZ_SECONDS) $(JOBS)

# Layout everywhere; clang-tidy's checks (.clang-tidy) over the program's own sources.
lint: configure
	@clang-format --dry-run --Werror $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h' 'service/*.cpp' 'service/*.h')
	@run-clang-tidy -p $(BUILD_DIR) -j $(JOBS) -quiet '$(CURDIR)/(src|tools|bench|service)/' >$(BUILD_DIR)/clang-tidy.log 2>&1 \
		|| { grep -E "(warning|error):" $(BUILD_DIR)/clang-tidy.log | sort -u | head -n 50; exit 1; }

# A plain optimised build of what a packager ships (the program, its data and the web
# service, without the tests and benchmarks): warning-free too.
release: deps
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DWERROR=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build build-release -j $(JOBS)

clean:
	@rm -rf build build-sanitize build-tsan build-clang build-release build-fuzz
