# The two commands of the README, and a few helpers around them.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DBIXIQIN_WERROR=ON)

.PHONY: deps configure build run test screenshot icon clean bench

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display here (neither DISPLAY nor WAYLAND_DISPLAY is set)."; \
	  echo "Start it under a virtual X server instead:  xvfb-run -a make run"; \
	  echo "or run the built program yourself:          xvfb-run -a $(BUILD)/bixiqin"; \
	  exit 1; \
	fi
	./$(BUILD)/bixiqin

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

screenshot: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/bixiqin-screenshot docs

icon: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/bixiqin-make-icon data/icons

# The one-file conversion against raw iconv(), the iconv tool and cp; the
# corpus (about 550 MB) is made once under the build folder.
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target bixiqin-bench-corpus bixiqin-bench-convert
	./$(BUILD)/bench/bixiqin-bench-corpus $(BUILD)/bench-corpus
	./$(BUILD)/bench/bixiqin-bench-convert $(BUILD)/bench-corpus

clean:
	rm -rf $(BUILD)
