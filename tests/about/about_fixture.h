#pragma once
// Shared by the About window tests: the main window loaded for real on the
// offscreen platform, and a way to act while the About window's own loop
// runs (the opening handler does not return before the window has gone).
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>

#include <gtest/gtest.h>

// The visible top-level window of this object name, or null.
QWidget* visible_window(const QString& name);
int visible_window_count(const QString& name);

class AboutWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QWidget* main_window() const { return visible_window(QStringLiteral("启动窗口")); }
  QPushButton* main_button(const QString& name) const;

  // Clicks "关于" in the main window and runs `inside` from within the
  // About window's loop. Whatever `inside` leaves open is closed after it, so
  // a failing check cannot leave the loop running. Returns whether `inside`
  // ran at all.
  bool with_about_open(const std::function<void(QWidget* about)>& inside);
};
