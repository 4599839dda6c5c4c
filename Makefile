# Two commands on a fresh Debian machine: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_WERROR=ON

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 15

.PHONY: run test deps build build-asan test-asan fuzz bench format mutate clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)

# Opens the program; without a display it says so and prints the program generated from the
# worked example instead.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found (DISPLAY is not set): printing the program generated from examples/worked-example.toml instead."; \
		echo; \
		$(BUILD_DIR)/quillane-cli generate examples/worked-example.toml; \
	else \
		$(BUILD_DIR)/quillane; \
	fi

# The core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLANE_WERROR=ON \
		-DQUILLANE_SANITIZE=ON -DQUILLANE_CORE_ONLY=ON
	cmake --build $(ASAN_DIR)

test-asan: build-asan
	cd $(ASAN_DIR) && ctest --output-on-failure -L core

# A short libFuzzer run over the scanner, the plots and the generator (clang, ASan+UBSan).
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_CORE_ONLY=ON \
		-DQUILLANE_FUZZ=ON -DQUILLANE_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(FUZZ_DIR) --target fuzz_targets
	cd $(FUZZ_DIR) && ctest --output-on-failure -L fuzz

# Formatting as .clang-format says; `scripts/check-format.sh --fix` rewrites the files.
format: deps
	@bash scripts/check-format.sh

test: format build
	cd $(BUILD_DIR) && ctest --output-on-failure
	$(MAKE) --no-print-directory fuzz
	$(MAKE) --no-print-directory test-asan

# Mutation check of the core (not part of `make test`): applies each one-line mistake listed in
# scripts/mutants.txt alone, rebuilds in $(MUTATE_DIR) and says which test caught it.
# MUTANTS="nt- pg-land-end" runs only those (ids or id prefixes).
MUTATE_DIR ?= build-mutate
mutate: deps
	python3 scripts/mutate.py --build $(MUTATE_DIR) $(MUTANTS)

# Every benchmark binary in turn.
bench: build
	@for b in $(BUILD_DIR)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(MUTATE_DIR)
