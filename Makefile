# Entry points for a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
SANITIZE_DIR ?= $(BUILD_DIR)-asan
TSAN_DIR ?= $(BUILD_DIR)-tsan
FUZZ_DIR ?= $(BUILD_DIR)-fuzz
FUZZ_SECONDS ?= 60
SOAK_MINUTES ?= 30
# ccache, where the machine has it, keeps rebuilds of the three builds short.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Tests keep the player's files inside the build tree, never in the real home.
TEST_HOME = XDG_CONFIG_HOME=$(CURDIR)/$(BUILD_DIR)/tests/xdg/config XDG_DATA_HOME=$(CURDIR)/$(BUILD_DIR)/tests/xdg/data \
	XDG_STATE_HOME=$(CURDIR)/$(BUILD_DIR)/tests/xdg/state XDG_CACHE_HOME=$(CURDIR)/$(BUILD_DIR)/tests/xdg/cache
# Scene tests that draw need the display, which the leak-checked run does without.
SCENE_DRAWING_TESTS = SceneManagerTest.TheGameGoesOnInPlayWhileASecondLevelLoads:ScenePassesTest.*:SceneShadowTest.*:LevelLinkTest.*

.PHONY: all deps configure build run test bench fuzz soak format clean package package-check

all: build

deps:
	@tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/game/bin/vorn

# Every test runs under one virtual X server, kept from resetting when its last client leaves
# (a reset refuses the connections of tests starting at that moment); sound goes to OpenAL Soft's null backend
# unless a test picks its own. The model tests (the cache reader meets damaged files) run a
# second time under the address and undefined-behaviour sanitizers; the drawing suites stay out
# of that run, the OpenGL driver's own allocations would read as leaks. The scene tests (levels
# from many exporters, loaded on worker threads while the game thread goes on) run there too,
# and a third time under the thread sanitizer, where the OpenGL driver's threads are left out
# of its judgement. The same sanitizer build replays every fuzzing seed and kept crash input
# once through its fuzz target.
test: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	mkdir -p $(addprefix $(BUILD_DIR)/tests/xdg/,config data state cache)
	cd $(BUILD_DIR) && $(TEST_HOME) ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
		ctest --output-on-failure -j $(JOBS) --timeout 600
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVORN_SANITIZE=ON $(LAUNCHER)
	cmake --build $(SANITIZE_DIR) --target test_model test_scene fuzz_targets -j $(JOBS)
	cd $(SANITIZE_DIR) && $(TEST_HOME) ASAN_OPTIONS=allocator_may_return_null=1 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		./tests/test_model --gtest_filter='-ModelDrawingTest.*:ModelAnimationTest.*'
	cd $(SANITIZE_DIR) && $(TEST_HOME) ALSOFT_DRIVERS=null UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		./tests/test_scene --gtest_filter='-$(SCENE_DRAWING_TESTS)'
	tools/fuzz-replay.sh $(SANITIZE_DIR)
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVORN_SANITIZE_THREAD=ON $(LAUNCHER)
	cmake --build $(TSAN_DIR) --target test_scene -j $(JOBS)
	cd $(TSAN_DIR) && $(TEST_HOME) ALSOFT_DRIVERS=null \
		TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
		xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ./tests/test_scene

# Every fuzz target for FUZZ_SECONDS (clang's libFuzzer with the address and
# undefined-behaviour sanitizers); what they find stays in $(FUZZ_DIR)/.
fuzz: deps
	@tools/install-deps.sh clang libclang-rt-14-dev
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVORN_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target fuzz_targets -j $(JOBS)
	tools/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The autopilot plays level 1 again and again for SOAK_MINUTES and prints, for each round, the
# resident memory at its start and end and its frame-time percentiles (not part of `make test`).
soak: build
	tools/soak.sh $(BUILD_DIR) $(SOAK_MINUTES)

# The Debian package (CPack): $(BUILD_DIR)/vorn_VERSION_ARCH.deb, its dependencies worked out
# from the executable's shared libraries.
package: build
	cmake --build $(BUILD_DIR) --target package

# lintian on the package must find no error; its warnings are printed. It takes a while, so it
# is not part of `make test`.
package-check: package
	@tools/install-deps.sh lintian
	lintian --fail-on error --display-info $(BUILD_DIR)/vorn_*.deb

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	# Some benchmarks draw; they get the same virtual display as the tests.
	xvfb-run -a -s "-screen 0 1280x1024x24" tools/run-benchmarks.sh $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR) $(FUZZ_DIR)
