# Thin wrapper over the CMake presets, so the README's commands stay short.
.PHONY: all deps build test demo bench format clean

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev

test: build
	ctest --preset dev

release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

demo: release
	bash scripts/demo.sh build/release/vlgen

bench: release
	bash bench/run.sh build/release/vlgen

format:
	find src tests bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
