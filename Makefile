# The two user commands: `make run` and `make test`. Each does its own set-up.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: run test deps build

run: build
	$(BUILD_DIR)/bin/navolis $(ARGS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)
