# Dimora3: `make run` starts the desktop program, `make test` runs every test.
# Both install the Debian packages they need first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
PREFIX     ?= /usr/local

# Asks CMake to list the files it reads while configuring, for tools/check-deps.sh.
cmake_query = mkdir -p $(1)/.cmake/api/v1/query && touch $(1)/.cmake/api/v1/query/cmakeFiles-v1

.PHONY: deps build run test test-cluster test-asan test-tsan bench fuzz fuzz-ci clean format format-check lint install package

deps:
	@tools/install-deps.sh

build: deps
	$(call cmake_query,$(BUILD))
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIMORA_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# Installs into $(PREFIX) (under $(DESTDIR) when set).
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package dimora3_<version>_amd64.deb in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

run: build
	tools/run.sh $(BUILD)

test: build
	$(MAKE) format-check
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	tools/check-install.sh $(BUILD)
	$(MAKE) test-asan
	$(MAKE) test-tsan
	$(MAKE) fuzz-ci FUZZ_SECONDS=60
	tools/check-deps.sh $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)

# A one-node Slurm cluster on this machine runs the batch array job recipe of
# tools/slurm (about 15 s; needs root for slurmd).
test-cluster: build
	tools/install-deps.sh cluster
	tools/slurm/test-cluster.sh $(BUILD)

# The core and command-line tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, without the desktop program.
test-asan: deps
	$(call cmake_query,$(ASAN_BUILD))
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDIMORA_WERROR=ON \
	  -DDIMORA_SANITIZE=ON -DDIMORA_BUILD_GUI=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) -L 'core|cli' --output-on-failure -j $(JOBS)

# The tests whose code runs on several threads under ThreadSanitizer: the
# ordered pipeline (test_common), the slice and cube stacks (test_slices), the
# decoding overlap and batch (test_cli, through dimora3-cli, which inherits
# TSAN_OPTIONS). Only their programs are built; any race fails the test.
test-tsan: deps
	$(call cmake_query,$(TSAN_BUILD))
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIMORA_WERROR=ON \
	  -DDIMORA_TSAN=ON -DDIMORA_BUILD_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_common test_slices test_cli
	TSAN_OPTIONS=halt_on_error=1 \
	  ctest --test-dir $(TSAN_BUILD) -R '^(test_common|test_slices|test_cli)$$' --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIMORA_BUILD_BENCH=ON \
	  -DDIMORA_BUILD_GUI=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	tools/run-benchmarks.sh $(BENCH_BUILD)

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIMORA_WERROR=ON \
	  -DDIMORA_BUILD_FUZZ=ON -DDIMORA_SANITIZE=ON -DDIMORA_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Every fuzz target for FUZZ_SECONDS on each submission; only the fuzz targets
# are built, to keep the clang build short.
fuzz-ci: deps
	$(call cmake_query,$(FUZZ_BUILD))
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIMORA_WERROR=ON \
	  -DDIMORA_BUILD_FUZZ=ON -DDIMORA_SANITIZE=ON -DDIMORA_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

SOURCES = git ls-files '*.cpp' '*.hpp'

format:
	$(SOURCES) | xargs clang-format -i

# Fails on any tracked source file that .clang-format would change.
format-check: deps
	$(SOURCES) | xargs clang-format --dry-run --Werror

# clang-tidy with .clang-tidy over the program's sources, from the compile
# commands of the main build.
lint: build
	git ls-files 'src/*.cpp' | xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
