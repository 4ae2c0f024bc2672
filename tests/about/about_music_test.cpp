// The About window's tune, heard through a virtual MIDI device: it starts
// with the window, plays once, and falls silent when the window closes.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/midi_stream.h"
#include "platform/midi_virtual_stream.h"
#include "ui/about_window.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace {

constexpr std::uint64_t kSecond = 1'000'000;

bool is_note_on(const platform::RecordedMessage& m) {
  return (m.message & 0xF0) == 0x90 && ((m.message >> 16) & 0x7F) != 0;
}
// Controller 123 (all notes off) on any channel.
bool is_all_notes_off(const platform::RecordedMessage& m) {
  return (m.message & 0xF0) == 0xB0 && ((m.message >> 8) & 0x7F) == 123;
}

QWidget* about_window() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QStringLiteral("关于窗口") && w->isVisible()) return w;
  }
  return nullptr;
}

class AboutMusicTest : public ::testing::Test {
 protected:
  // As in the program, the About window is opened over the main window.
  void SetUp() override {
    platform::set_midi_stream_factory(device.factory());
    ASSERT_NE(ui::载入窗口(ui::主窗口定义(), false), nullptr);
  }
  void TearDown() override {
    if (ui::窗口* w = ui::取已载入窗口(ui::kAboutWindowId)) w->关闭();
    // The window (and with it the player and its stream) goes on the next
    // pass of the event loop; the device must outlive the stream.
    EXPECT_TRUE(QTest::qWaitFor([] { return ui::取已载入窗口(ui::kAboutWindowId) == nullptr; }));
    platform::set_midi_stream_factory(nullptr);
    if (ui::窗口* w = ui::主窗口()) w->关闭();
    EXPECT_TRUE(QTest::qWaitFor([] { return ui::主窗口() == nullptr; }));
  }
  // Opens the About window the way the "关于" button does; `inside` runs
  // while it is open (inside its modal loop) and must close it.
  void open_about(std::function<void()> inside) {
    QTimer::singleShot(0, [inside = std::move(inside)] {
      inside();
      // Also after a failed assertion: never leave the modal loop running.
      if (ui::窗口* w = ui::取已载入窗口(ui::kAboutWindowId)) w->关闭();
    });
    按钮_选择1_被单击();
  }
  std::vector<platform::RecordedMessage> since(std::uint64_t from_us) const {
    std::vector<platform::RecordedMessage> out;
    for (const auto& m : device.messages()) {
      if (m.time_us >= from_us) out.push_back(m);
    }
    return out;
  }

  platform::VirtualMidiDevice device;
};

TEST_F(AboutMusicTest, OpeningStartsAtTheFirstNoteAndClosingSilencesEveryNote) {
  std::uint32_t first_note = 0;
  open_about([&] {
    ASSERT_NE(about_window(), nullptr);
    EXPECT_EQ(device.streams_open(), 1) << "the tune starts with the window";
    device.advance_to(0);
    auto played = device.messages();
    auto it = std::find_if(played.begin(), played.end(), is_note_on);
    ASSERT_NE(it, played.end()) << "a note sounds at time 0";
    EXPECT_EQ(it->time_us, 0u);
    first_note = it->message;
    device.advance_to(3 * kSecond);
    QTest::keyClick(about_window(), Qt::Key_Escape);
  });
  // The handler has returned: the window has gone and its output is closed.
  EXPECT_EQ(ui::取已载入窗口(ui::kAboutWindowId), nullptr);
  EXPECT_EQ(device.streams_open(), 0);
  int silenced_channels = 0;
  for (const auto& m : since(3 * kSecond)) {
    if (is_all_notes_off(m) && m.time_us == 3 * kSecond) ++silenced_channels;
    EXPECT_FALSE(is_note_on(m)) << "nothing starts after the close";
  }
  EXPECT_GE(silenced_channels, 3) << "the sounding channels fall silent at once";

  // Opening again starts the tune from its beginning.
  const std::size_t before = device.messages().size();
  open_about([&] {
    device.advance_to(3 * kSecond);
    auto all = device.messages();
    std::vector<platform::RecordedMessage> again(all.begin() + static_cast<long>(before), all.end());
    auto it = std::find_if(again.begin(), again.end(), is_note_on);
    ASSERT_NE(it, again.end());
    EXPECT_EQ(it->time_us, 3 * kSecond);
    EXPECT_EQ(it->message, first_note);
    QTest::keyClick(about_window(), Qt::Key_Escape);
  });
  EXPECT_EQ(device.streams_opened(), 2);
}

TEST_F(AboutMusicTest, LeftOpenTheTunePlaysOnceAndThenStaysSilent) {
  open_about([&] {
    device.advance_to(63 * kSecond);
    EXPECT_EQ(device.streams_open(), 1);
    device.advance_to(70 * kSecond);
    EXPECT_TRUE(device.wait_all_closed(std::chrono::milliseconds(5000)))
        << "after its end the tune releases the output";
    device.advance_to(140 * kSecond);
    EXPECT_NE(about_window(), nullptr) << "the window stays open";
    QTest::keyClick(about_window(), Qt::Key_Escape);
  });
  const auto played = device.messages();
  EXPECT_EQ(std::count_if(played.begin(), played.end(), is_note_on), 722);
  for (const auto& m : played) {
    if (is_note_on(m)) {
      EXPECT_LT(m.time_us, 64 * kSecond);
    }
  }
  EXPECT_EQ(device.streams_opened(), 1) << "played once, no repeat";
}

// Catches a tune started again over the one playing: two players at once,
// the first one sounding on to its end.
TEST_F(AboutMusicTest, PlayedAgainTheTuneStopsThePlayingOneFirst) {
  open_about([&] {
    device.advance_to(3 * kSecond);
    ui::窗口* about = ui::取已载入窗口(ui::kAboutWindowId);
    ASSERT_NE(about, nullptr);
    about->播放背景音乐();
    EXPECT_EQ(device.streams_opened(), 2);
    EXPECT_EQ(device.streams_open(), 1) << "one player at a time";
    int silenced_channels = 0;
    for (const auto& m : since(3 * kSecond)) {
      if (is_all_notes_off(m) && m.time_us == 3 * kSecond) ++silenced_channels;
    }
    EXPECT_GE(silenced_channels, 3) << "the first playing falls silent at once";
    QTest::keyClick(about_window(), Qt::Key_Escape);
  });
  EXPECT_EQ(device.streams_open(), 0);
}

}  // namespace
