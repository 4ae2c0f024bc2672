# The two commands of the README, and a few helpers around them.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DBIXIQIN_WERROR=ON)

WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
SANITIZE_BUILD ?= build-asan
THREAD_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
UNPRIVILEGED_USER ?= bixiqin-ci
# Sanitizer settings for check-sanitize: stop at the first fault, report
# leaks, let a huge allocation fail so that the program reports it itself,
# and leave out the leaks of the system libraries (each one explained there).
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/sanitizers/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: deps configure build run test check-unprivileged screenshot icon clean check-sanitize check-thread fuzz package check-package bench tune-wav windows check-windows windows-package check-windows-package iconv-tables

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

# The conversion, batch and command-line tests again as an ordinary user
# (made if missing), so that permission failures really fail and unnamed
# outputs are named the way ordinary users' programs name them.
check-unprivileged: build
	./scripts/check-unprivileged $(BUILD) $(UNPRIVILEGED_USER)

screenshot: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/bixiqin-screenshot docs

icon: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/bixiqin-make-icon data/icons

# The one-file conversion, then the whole batch through the main window,
# against raw iconv(), the iconv tool and cp; the corpus (about 550 MB) is
# made once under the build folder.
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target bixiqin-bench-corpus bixiqin-bench-convert bixiqin-bench-window
	./$(BUILD)/bench/bixiqin-bench-corpus $(BUILD)/bench-corpus
	./$(BUILD)/bench/bixiqin-bench-convert $(BUILD)/bench-corpus
	./$(BUILD)/bench/bixiqin-bench-window $(BUILD)/bench-corpus

# The whole test suite built with AddressSanitizer and UBSan, in its own folder.
# The environment is set for the build too: test discovery runs the programs.
check-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja $(CMAKE_FLAGS) -DBIXIQIN_SANITIZE=ON >/dev/null
	@$(SANITIZE_ENV) cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure --timeout 300 -j $(JOBS)

# The conversion and batch tests, which run threads, built with
# ThreadSanitizer in their own folder.
check-thread: deps
	@cmake -S . -B $(THREAD_BUILD) -G Ninja $(CMAKE_FLAGS) -DBIXIQIN_TSAN=ON >/dev/null
	@cmake --build $(THREAD_BUILD) -j $(JOBS) --target test_convert test_batch
	cd $(THREAD_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/sanitizers/tsan.supp ctest --output-on-failure --timeout 600 -j $(JOBS) -L 'convert|batch'

# Each parser of outside bytes under libFuzzer for FUZZ_SECONDS.
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/fuzz $(FUZZ_BUILD)

# A .deb of the program in $(BUILD)/ (install it with apt-get install ./$(BUILD)/bixiqin_*.deb);
# an older one is removed first, so that only the new one is there to check.
package: build
	cd $(BUILD) && rm -f bixiqin_*.deb && cpack -G DEB

# The .deb checked by Debian's package checker: any error or warning fails.
check-package: package
	lintian --fail-on error,warning $(BUILD)/bixiqin_*.deb

clean:
	rm -rf $(BUILD)

# The Windows editions, 64 and 32 bits, cross-built with mingw-w64 in their
# own folders (cmake/windows.cmake).
windows:
	@./scripts/install-windows-deps
	@cmake -S . -B $(WIN64_BUILD) -G Ninja $(CMAKE_FLAGS) -DBIXIQIN_LINUX_BUILD=$(abspath $(BUILD)) --toolchain $(CURDIR)/cmake/toolchains/x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)
	@cmake -S . -B $(WIN32_BUILD) -G Ninja $(CMAKE_FLAGS) --toolchain $(CURDIR)/cmake/toolchains/i686-w64-mingw32.cmake >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)

# The 64-bit edition's tests under Wine (scripts/wine-run), on a virtual
# display, without which Wine gives no console; nothing 32-bit runs on this
# machine, so those tests are only built. Then a corpus (a 200 MB file,
# 10,000 chapters) converted by both the Linux build's bixiqin-convert and
# the Windows one, their outputs compared byte for byte.
check-windows: windows build
	cd $(WIN64_BUILD) && xvfb-run -a ctest --output-on-failure -j $(JOBS)
	./scripts/windows-corpus-check $(BUILD) $(WIN64_BUILD)

# Each edition's installer and portable zip (cmake/windows_package.cmake),
# all four gathered in $(WIN64_BUILD)/package/.
windows-package: windows
	@cmake --build $(WIN64_BUILD) --target bixiqin-windows-package
	@cmake --build $(WIN32_BUILD) --target bixiqin-windows-package
	@cp $(WIN32_BUILD)/package/*.zip $(WIN32_BUILD)/package/*-setup.exe $(WIN64_BUILD)/package/
	@ls -l $(WIN64_BUILD)/package/*.zip $(WIN64_BUILD)/package/*-setup.exe

# The 64-bit installer under Wine, per user and then per machine: a silent
# install into a fresh prefix, the installed programs run (the window one
# on a virtual display), a silent uninstall that must leave nothing; and the
# resources and PE kind of every packaged program of both editions.
check-windows-package: windows-package
	xvfb-run -a ./scripts/check-windows-package $(WIN64_BUILD) $(WIN32_BUILD)

# The About window's tune rendered offline through the synthesizer.
tune-wav: configure
	@cmake --build $(BUILD) -j $(JOBS) --target bixiqin-render-tune
	./$(BUILD)/tools/bixiqin-render-tune $(BUILD)/about-tune.wav

# The GBK and GB18030 tables of our own iconv (the Windows edition's), asked
# again of this system's iconv and written over the committed ones.
iconv-tables: configure
	@cmake --build $(BUILD) -j $(JOBS) --target bixiqin-make-iconv-tables
	./$(BUILD)/tools/bixiqin-make-iconv-tables platform/common/iconv/tables.cpp
