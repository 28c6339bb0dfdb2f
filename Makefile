# The two everyday commands: `make run` and `make test`. Each installs what is
# missing first, so a fresh Debian 12 machine needs nothing else.

JOBS        ?= 2
RELEASE_DIR := build
DEBUG_DIR   := build-debug
FUZZ_DIR    := build-fuzz
FUZZ_SECONDS ?= 60
CMAKE_GEN   := -G Ninja

.PHONY: run test test-release deps release debug bench fuzz screenshots deb clean

deps:
	@tools/install-deps.sh

release: deps
	@cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

debug: deps
	@cmake -S . -B $(DEBUG_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTILBO_SANITIZE=ON -DTILBO_WERROR=ON >/dev/null
	@cmake --build $(DEBUG_DIR) -j $(JOBS)

run: release
	@tools/run-demo.sh $(RELEASE_DIR)

test: debug
	@cd $(DEBUG_DIR) && ctest --output-on-failure -j $(JOBS)

# The same tests on the optimised build that users run (CI runs both).
test-release: release
	@cd $(RELEASE_DIR) && ctest --output-on-failure -j $(JOBS)

bench: release
	@tools/run-benchmarks.sh $(RELEASE_DIR)

# The Debian package of the release tree: build/ctgtilbo_VERSION_ARCH.deb,
# its library dependencies computed by dpkg-shlibdeps.
deb: release
	@cd $(RELEASE_DIR) && cpack -G DEB

# Renders every desktop window offscreen into docs/screenshots/*.png, on a
# 1600x1000 screen and on a laptop's 1366x768 one (docs/screenshots/1366x768).
screenshots: release
	@QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/ui_screenshots docs/screenshots 1600x1000
	@QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/ui_screenshots docs/screenshots/1366x768 1366x768

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTILBO_FUZZ=ON -DTILBO_GUI=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@tools/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(RELEASE_DIR) $(DEBUG_DIR) $(FUZZ_DIR)
