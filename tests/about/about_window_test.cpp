// The About window as the user meets it: where it stands, what it shows, and
// that the main window waits while it is open.
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <string>
#include <vector>

#include "platform/window.h"
#include "tests/about/about_fixture.h"
#include "text/gbk_literal.h"
#include "ui/about_window.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace {

// The pieces of a text between CR LF pairs (the piece after the last one
// included, so a text ending in CR LF gives a final empty piece).
std::vector<std::string> crlf_lines(const std::string& t) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = t.find("\r\n", from)) != std::string::npos; from = at + 2) {
    lines.push_back(t.substr(from, at - from));
  }
  lines.push_back(t.substr(from));
  return lines;
}

bool ends_with(const std::string& t, const std::string& tail) {
  return t.size() >= tail.size() && t.compare(t.size() - tail.size(), tail.size(), tail) == 0;
}

QString utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

TEST_F(AboutWindowTest, StandsCentredOnTheScreenWhereverTheMainWindowIs) {
  QWidget* main = main_window();
  main->move(3, 5);
  ASSERT_EQ(main->frameGeometry().topLeft(), QPoint(3, 5));
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const QPoint centred((screen.width() - 380) / 2, (screen.height() - 288) / 2);

  const bool ran = with_about_open([&](QWidget* about) {
    // The outer rectangle, frame included, is 380 x 288 at the centred
    // position, whatever frame the window system draws.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return about->frameGeometry() == QRect(centred, QSize(380, 288)); }))
        << about->frameGeometry().x() << "," << about->frameGeometry().y() << " "
        << about->frameGeometry().width() << "x" << about->frameGeometry().height();
    EXPECT_LT(about->width(), 380);
    EXPECT_LT(about->height(), 288);
    const platform::Rect outer = ui::取已载入窗口(ui::kAboutWindowId)->native().outer_rect();
    EXPECT_EQ(QRect(outer.left, outer.top, outer.width, outer.height),
              QRect(centred, QSize(380, 288)));
    // Fixed border, no minimise or maximise box, its caption and an icon.
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(about->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(about->windowTitle(), utf8("关于"));
    EXPECT_FALSE(about->windowIcon().isNull());
    // The main window has not moved either.
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(3, 5));
  });
  EXPECT_TRUE(ran);
}

TEST_F(AboutWindowTest, ShowsItsTwoButtonsAndTheAboutTextByteForByte) {
  const bool ran = with_about_open([&](QWidget* about) {
    auto* donate = about->findChild<QPushButton*>(QStringLiteral("按钮2"));
    auto* update = about->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* note = about->findChild<QLabel*>(QStringLiteral("标签1"));
    ASSERT_NE(donate, nullptr);
    ASSERT_NE(update, nullptr);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(donate->geometry(), QRect(234, 21, 88, 24));
    EXPECT_EQ(donate->text(), utf8("捐助"));
    EXPECT_EQ(update->geometry(), QRect(42, 21, 88, 24));
    EXPECT_EQ(update->text(), utf8("更新"));
    EXPECT_EQ(note->geometry(), QRect(15, 70, 344, 178));
    EXPECT_TRUE(donate->isVisible() && update->isVisible() && note->isVisible());
    // Left-aligned from the top, wrapping, plain text (an ampersand stays).
    EXPECT_EQ(note->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(note->wordWrap());
    EXPECT_EQ(note->textFormat(), Qt::PlainText);
    EXPECT_EQ(note->focusPolicy(), Qt::NoFocus);

    ui::窗口* window = ui::取已载入窗口(ui::kAboutWindowId);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->取控件("按钮2").类型名(), "按钮"_gbk);
    EXPECT_EQ(window->取控件("按钮2").标识(), 0x160125E4u);
    EXPECT_EQ(window->取控件("按钮1").类型名(), "按钮"_gbk);
    EXPECT_EQ(window->取控件("按钮1").标识(), 0x160125E3u);
    EXPECT_EQ(window->取控件("标签1").类型名(), "标签"_gbk);
    EXPECT_EQ(window->取控件("标签1").标识(), 0x160125E2u);

    // The label gives back the very bytes of the about text.
    const std::string shown = window->取控件("标签1").标题();
    const std::vector<std::string> lines = crlf_lines(shown);
    ASSERT_EQ(lines.size(), 16u) << "fifteen lines, each ended by CR LF";
    EXPECT_EQ(lines[0], "碧溪琴 1.0      作者  岚舟"_gbk);
    EXPECT_EQ(lines[1], "");
    for (int story : {2, 3}) {
      EXPECT_GT(lines[story].size(), "～～"_gbk.size());
      EXPECT_TRUE(ends_with(lines[story], "～～"_gbk)) << "line " << story + 1;
      EXPECT_EQ(lines[story].find('\n'), std::string::npos);
      EXPECT_EQ(lines[story].find('\r'), std::string::npos);
    }
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "用于把UTF-8小说文本等批量转换为GBK的小工具"_gbk);
    EXPECT_EQ(lines[6], "开源，免费，捐助自愿，可在软件更新处下载到它的源代码～～"_gbk);
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "使用方法：添加完后选好原文本编码和要转换到的编码"_gbk);
    EXPECT_EQ(lines[9], "然后点转换即可～～"_gbk);
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "有建议或BUG可发邮件邮箱 "_gbk + ui::kAuthorMailAddress);
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "") << "nothing after the last CR LF";
    EXPECT_EQ(shown, ui::关于文本());

    // On the screen each CR LF is one line break, with no CR left over.
    EXPECT_FALSE(note->text().contains(QLatin1Char('\r')));
    EXPECT_EQ(note->text().count(QLatin1Char('\n')), 15);
    EXPECT_TRUE(note->text().startsWith(utf8("碧溪琴 1.0      作者  岚舟\n\n")));
  });
  EXPECT_TRUE(ran);
}

TEST_F(AboutWindowTest, AddressesLieUnderAReservedExampleDomain) {
  for (const std::string address : {ui::kUpdatePageAddress, ui::kDonationPageAddress}) {
    EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
    const std::string host = address.substr(8, address.find('/', 8) - 8);
    EXPECT_TRUE(ends_with(host, ".example.com") || host == "example.com") << address;
  }
  EXPECT_TRUE(ends_with(ui::kAuthorMailAddress, "@example.com"));
}

TEST_F(AboutWindowTest, MainWindowTakesNoInputWhileTheAboutWindowIsOpen) {
  ui::主窗口控件::列表框_原始().加入项目("a.txt");
  ASSERT_EQ(ui::主窗口控件::列表框_原始().取项目数(), 1);
  const int created_before = ui::关于窗口创建次数();

  const bool ran = with_about_open([&](QWidget* about) {
    EXPECT_EQ(ui::关于窗口创建次数(), created_before + 1);
    QWidget* main = main_window();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(ui::主窗口()->native().accepts_input());
    // Not greyed: the controls still look enabled.
    EXPECT_TRUE(main_button(QStringLiteral("按钮2"))->isEnabled());

    QTest::mouseClick(main_button(QStringLiteral("按钮2")), Qt::LeftButton);
    main_button(QStringLiteral("按钮2"))->setFocus();
    QTest::keyClick(main_button(QStringLiteral("按钮2")), Qt::Key_Space);
    EXPECT_EQ(ui::主窗口控件::列表框_原始().取项目数(), 1) << "清空 must do nothing";

    QTest::mouseClick(main_button(QStringLiteral("按钮_选择1")), Qt::LeftButton);
    EXPECT_EQ(visible_window_count(QStringLiteral("关于窗口")), 1) << "no second About window";
    EXPECT_EQ(ui::关于窗口创建次数(), created_before + 1);

    // Neither can the main window be closed meanwhile.
    QTest::keyClick(main_button(QStringLiteral("按钮2")), Qt::Key_Escape);
    main->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(about->isVisible());
  });
  ASSERT_TRUE(ran);

  // Closed again: the main window answers as before.
  ASSERT_NE(main_window(), nullptr);
  EXPECT_TRUE(ui::主窗口()->native().accepts_input());
  QTest::mouseClick(main_button(QStringLiteral("按钮2")), Qt::LeftButton);
  EXPECT_EQ(ui::主窗口控件::列表框_原始().取项目数(), 0);
}

// Counts the activations of a window.
class ActivationCount : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::WindowActivate) ++count;
    return false;
  }
};

TEST_F(AboutWindowTest, StaysAboveTheMainWindowAndTakesTheFocusBackFromIt) {
  const bool ran = with_about_open([&](QWidget* about) {
    QWidget* main = main_window();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(about->windowHandle(), nullptr);
    EXPECT_EQ(about->windowHandle()->transientParent(), main->windowHandle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about; }));

    // The window manager activates the main window, as a click on it does.
    ActivationCount main_activated;
    main->installEventFilter(&main_activated);
    main->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main_activated.count > 0; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about; }))
        << "the About window did not take the focus back";
    main->removeEventFilter(&main_activated);
  });
  EXPECT_TRUE(ran);
}

TEST_F(AboutWindowTest, EscClosesItAndLeavesTheMainWindowOpen) {
  bool still_open_after_esc = true;
  const bool ran = with_about_open([&](QWidget* about) {
    auto* update = about->findChild<QPushButton*>(QStringLiteral("按钮1"));
    ASSERT_NE(update, nullptr);
    update->setFocus();
    QTest::keyClick(update, Qt::Key_Escape);
    still_open_after_esc = about->isVisible();
  });
  ASSERT_TRUE(ran);
  EXPECT_FALSE(still_open_after_esc);
  EXPECT_EQ(ui::取已载入窗口(ui::kAboutWindowId), nullptr);
  ASSERT_NE(main_window(), nullptr);
  EXPECT_TRUE(ui::主窗口()->native().accepts_input());
  // The opening handler has returned, so a new About window can be had.
  EXPECT_EQ(visible_window_count(QStringLiteral("关于窗口")), 0);
}

TEST_F(AboutWindowTest, OpensAgainAfterItHasBeenClosed) {
  const int created_before = ui::关于窗口创建次数();
  QPointer<QWidget> first;
  for (int opening = 1; opening <= 2; ++opening) {
    bool closed_by_esc = false;
    const bool ran = with_about_open([&](QWidget* about) {
      EXPECT_EQ(ui::关于窗口创建次数(), created_before + opening);
      if (opening == 1) first = about;
      if (opening == 2) {
        EXPECT_TRUE(first.isNull()) << "a new window each time";
      }
      auto* note = about->findChild<QLabel*>(QStringLiteral("标签1"));
      ASSERT_NE(note, nullptr);
      EXPECT_EQ(ui::取已载入窗口(ui::kAboutWindowId)->取控件("标签1").标题(), ui::关于文本());
      QTest::keyClick(about, Qt::Key_Escape);
      closed_by_esc = !about->isVisible();
    });
    EXPECT_TRUE(ran) << "opening " << opening;
    EXPECT_TRUE(closed_by_esc) << "opening " << opening;
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }));
  }
  EXPECT_EQ(ui::关于窗口创建次数(), created_before + 2);
  EXPECT_TRUE(ui::主窗口()->native().accepts_input());
}

TEST_F(AboutWindowTest, PressingTheLabelDoesNotMoveTheWindow) {
  const bool ran = with_about_open([&](QWidget* about) {
    auto* note = about->findChild<QLabel*>(QStringLiteral("标签1"));
    ASSERT_NE(note, nullptr);
    const QPoint before = about->frameGeometry().topLeft();
    QTest::mousePress(note, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(note, QPoint(80, 60));
    QTest::mouseRelease(note, Qt::LeftButton, {}, QPoint(80, 60));
    EXPECT_EQ(about->frameGeometry().topLeft(), before);
  });
  EXPECT_TRUE(ran);
}
