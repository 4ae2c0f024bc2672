#pragma once
// Shared by the window effects tests: the program's windows loaded for real
// on the offscreen platform with the compositor switched on or off, and ways
// to read what the effects left on them.
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QWidget>
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

// 0x00BBGGRR as a colour.
QColor colour_of(std::uint32_t colour_bgr);
