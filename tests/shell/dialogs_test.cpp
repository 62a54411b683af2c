// The boxes the program shows for real: Qt's own texts in Chinese once the
// program's start-up has loaded them, and the about box without an icon.

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDate>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "shell/Startup.h"
#include "tests/support/WindowTestMain.h"

namespace {

using tms::test::whenModal;

TEST(QtTexts, StandardButtonsColourDialogAndEditMenuAreChinese) {
    // The test program already runs under the program's locale; the
    // start-up must set it on its own.
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(loadQtTranslation());

    QMessageBox box(QMessageBox::Question, "确认信息", "确实要删除该货物吗?", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");

    QColorDialog colours;
    EXPECT_EQ(colours.windowTitle(), "选择颜色");
    QStringList buttons;
    for (QPushButton* b : colours.findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_TRUE(buttons.contains("确定")) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("取消")) << buttons.join('|').toStdString();

    // The standard dialogs' dates and sizes follow the default locale.
    EXPECT_EQ(QLocale().name(), "zh_CN");
    EXPECT_EQ(QLocale().toString(QDate(2024, 3, 9), QLocale::ShortFormat), "2024/3/9");
    EXPECT_EQ(QLocale().dayName(6), "星期六");

    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions()) items << a->text().section('\t', 0, 0);
    EXPECT_TRUE(items.contains("粘贴(&P)")) << items.join('|').toStdString();
}

TEST(AboutBox, ShowsTheProgramAndItsLineWithoutAnIcon) {
    QMessageBox::Icon icon = QMessageBox::Information;
    bool pixmapEmpty = false;
    QString text;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        pixmapEmpty = box->iconPixmap().isNull();
        text = box->text();
        if (const QByteArray dir = qgetenv("TMS_SHOT_DIR"); !dir.isEmpty())
            box->grab().save(QString::fromLocal8Bit(dir) + "/about.png");
    });
    tms::ui::about("舱易通1.5", "集装箱与厢式货车的装载方案规划");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_TRUE(pixmapEmpty);
    EXPECT_EQ(text, "舱易通1.5\n集装箱与厢式货车的装载方案规划");
}

}  // namespace

int main(int argc, char** argv) {
    return tms::test::runWindowTests(argc, argv,
                                     [] { QCoreApplication::setApplicationName(QStringLiteral("舱易通")); });
}
