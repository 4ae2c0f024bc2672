// The screenshot tool run as a child: its pictures show the windows as their
// created handlers leave them, with composition off and on.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

#include <gtest/gtest.h>

#include "effects/version_vista.h"

namespace {

// Each channel within 2: the glass is blended over the backdrop.
void expect_near(QRgb px, int red, int green, int blue) {
  EXPECT_LE(std::abs(qRed(px) - red), 2) << std::hex << px;
  EXPECT_LE(std::abs(qGreen(px) - green), 2) << std::hex << px;
  EXPECT_LE(std::abs(qBlue(px) - blue), 2) << std::hex << px;
}

}  // namespace

TEST(ScreenshotTool, PicturesShowTheWindowsAsTheirCreatedHandlersLeaveThem) {
  if (!是否Vista或更高()) GTEST_SKIP() << "the handlers apply no effects on this system";
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QProcess tool;
  tool.start(QString::fromUtf8(BIXIQIN_SCREENSHOT_PROGRAM), {folder.path()});
  ASSERT_TRUE(tool.waitForFinished(120000));
  ASSERT_EQ(tool.exitStatus(), QProcess::NormalExit);
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

  for (const char* name : {"main-window", "about-window"}) {
    SCOPED_TRACE(name);
    const QString base = folder.filePath(QString::fromUtf8(name));
    const QImage plain(base + QStringLiteral(".png"));
    const QImage glass(base + QStringLiteral("-glass.png"));
    ASSERT_FALSE(plain.isNull());
    ASSERT_FALSE(glass.isNull());
    // (3, 3) is bare background above the first controls. Composition off:
    // painted opaque in the glass colour, red 227, green 237, blue 246.
    EXPECT_EQ(plain.pixel(3, 3), qRgb(227, 237, 246)) << std::hex << plain.pixel(3, 3);
    // Composition on: that colour at alpha 128 over the backdrop's top,
    // (90, 100, 112): 227 * 128/255 + 90 * 127/255 = 158.8, and so on.
    expect_near(glass.pixel(3, 3), 159, 169, 179);
  }
}
