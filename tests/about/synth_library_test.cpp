// The synthesizer library is opened only when the About window first plays
// its music, and a missing or incomplete one leaves the window silent.
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/qt/fluid_library.h"
#include "tests/about/about_fixture.h"

namespace {

bool synth_library_mapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("libfluidsynth") != std::string::npos) return true;
  }
  return false;
}

using SynthLibraryTest = AboutWindowTest;

TEST_F(SynthLibraryTest, IsMappedOnlyOnceTheAboutWindowOpens) {
  // A fresh process of its own: an earlier test here may have opened About.
  EXPECT_EXIT(
      {
        if (synth_library_mapped()) {
          std::fputs("mapped with the main window alone\n", stderr);
          std::_Exit(1);
        }
        if (!with_about_open([](QWidget*) {})) {
          std::fputs("the About window did not open\n", stderr);
          std::_Exit(3);
        }
        if (!synth_library_mapped()) {
          std::fputs("not mapped after the About window opened\n", stderr);
          std::_Exit(2);
        }
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(SynthLibraryTest, MissingOrIncompleteLeavesTheAboutWindowWorkingSilently) {
  // No such file; and a library that opens but has none of the functions.
  for (const char* name : {"libbixiqin-no-such-synth.so.3", "libm.so.6"}) {
    SCOPED_TRACE(name);
    platform::set_fluid_library_name(name);
    const bool ran = with_about_open([](QWidget* about) {
      EXPECT_NE(about->findChild<QPushButton*>(QStringLiteral("按钮1")), nullptr);
      QTest::keyClick(about, Qt::Key_Escape);
      EXPECT_TRUE(QTest::qWaitFor([] { return visible_window(QStringLiteral("关于窗口")) == nullptr; }));
    });
    EXPECT_TRUE(ran);
    EXPECT_NE(main_window(), nullptr);
  }
  platform::set_fluid_library_name(nullptr);
}

}  // namespace
