#pragma once
// Shared by the window effects tests: the program's windows loaded for real
// on the offscreen platform with the compositor switched on or off, and ways
// to read what the effects left on them.
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "ui/window.h"

class WindowEffectsTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the window (not modally) with composition as given; its created
  // handler runs during loading.
  ui::窗口* load_main(bool composition);
  ui::窗口* load_about(bool composition);

  static QWidget* widget_of(ui::窗口& window);
  static QWidget* widget_of(ui::控件& control);
  // The rendered client area, key-coloured glass included.
  static QImage render(ui::窗口& window);

 private:
  QPalette saved_palette_;
};

// The glass colour, red 227, green 237, blue 246: as a colour value of the
// windows (red in the low byte, 0x00F6EDE3) and as the widgets paint it.
inline constexpr std::uint32_t kGlass = 227u | (237u << 8) | (246u << 16);
inline const QColor kGlassColour{227, 237, 246};
