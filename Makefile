# Kestrix: the two commands that matter are `make run` and `make test`; both do all set-up.
.PHONY: all deps build build-native build-win test bench fuzz fidelity run clean

NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
JOBS := -j2
# The Windows tree whose programs this host's Wine can run (see tests/win/wine-arch.sh).
WINTEST_ARCH = $(shell tests/win/wine-arch.sh)
WINTEST = $(if $(filter i686,$(WINTEST_ARCH)),$(WIN32),$(WIN64))

all: build

deps:
	@tools/deps.sh

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DKESTRIX_WIN_ARCH=i686

$(WIN64)/build.ninja: | deps
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DKESTRIX_WIN_ARCH=x86_64

build-native: $(NATIVE)/build.ninja
	cmake --build $(NATIVE) $(JOBS)

build-win: $(WIN32)/build.ninja
	cmake --build $(WIN32) $(JOBS)
	@if [ "$(WINTEST)" = "$(WIN64)" ]; then $(MAKE) --no-print-directory $(WIN64)/build.ninja && cmake --build $(WIN64) $(JOBS); fi

# kestrixc on Linux compiles with the Windows runtime, which only the Windows tree builds.
build: build-native build-win
	cp $(WIN32)/bin/Kestrix.exe $(NATIVE)/bin/kestrix.dat

test: build
	ctest --test-dir $(NATIVE) --output-on-failure $(JOBS)
	ctest --test-dir $(WINTEST) --output-on-failure

bench: build-native
	$(NATIVE)/bin/kestrix-bench
	$(NATIVE)/bin/kestrix-swf-bench

# Draws the reference suite's movies with the engine and compares them with their pictures.
fidelity: build-native
	tools/fidelity.sh $(NATIVE)/bin/swfrender

fuzz: deps
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKESTRIX_FUZZ=ON
	cmake --build build/fuzz $(JOBS) --target fuzzers
	fuzz/run-all.sh build/fuzz/bin

# Compiles the demo project, then opens the builder window when there is a display.
run: build
	examples/run-demo.sh $(NATIVE)
	tools/run-builder.sh $(WINTEST) $(WINTEST_ARCH)

clean:
	rm -rf build
