// Qt's own texts in the program's language: a message box's button and the
// file dialog's labels, read from the real widgets.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/toolkit_translation.h"

TEST(ToolkitTranslation, QtsOwnTextsAreChinese) {
  ASSERT_TRUE(platform::load_toolkit_translations());
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok);
  const QString ok = box.button(QMessageBox::Ok)->text();
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  QStringList buttons;
  for (const QPushButton* button : dialog.findChildren<QPushButton*>()) buttons << button->text();
  // In English these are "OK", "Look in:", "File name:", "&Open" and "Cancel".
  EXPECT_EQ(ok, QString::fromUtf8("确定"));
  EXPECT_TRUE(labels.contains(QString::fromUtf8("查找范围："))) << qPrintable(labels.join(u'|'));
  EXPECT_TRUE(labels.contains(QString::fromUtf8("文件名称(&N)："))) << qPrintable(labels.join(u'|'));
  EXPECT_TRUE(buttons.contains(QString::fromUtf8("打开(&O)"))) << qPrintable(buttons.join(u'|'));
  EXPECT_TRUE(buttons.contains(QString::fromUtf8("取消"))) << qPrintable(buttons.join(u'|'));
}
