// The user guide as it goes into help.CHM: the contents and the index are
// written in the code page of the guide's language, so a viewer shows
// their Chinese titles, and the contents are one level deep.

#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

QByteArray compiled(const char* name) {
    QFile f(QStringLiteral(TMS_HELP_WORK "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Help, ContentsAndIndexAreWrittenInTheCodePageOfTheirLanguage) {
    ASSERT_TRUE(compiled("help.hhp").contains("Language=0x804"));
    for (const char* name : {"help.hhp", "toc.hhc", "index.hhk"}) {
        const QByteArray bytes = compiled(name);
        ASSERT_FALSE(bytes.isEmpty()) << name;
        QStringDecoder cp936("CP936");
        const QString text = cp936.decode(bytes);
        EXPECT_FALSE(cp936.hasError()) << name;
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << name;
        EXPECT_TRUE(text.contains(QStringLiteral("舱易通")) || text.contains(QStringLiteral("货柜"))) << name;
        EXPECT_FALSE(text.contains("charset=utf-8", Qt::CaseInsensitive)) << name;
    }
    const QString toc = QStringDecoder("CP936").decode(compiled("toc.hhc"));
    EXPECT_EQ(toc.count("<ul>"), 1);
    for (const char* title : {"舱易通 使用说明", "主窗口与按钮", "货物管理与货柜管理", "新增订单与订单管理",
                              "装配图与装箱明细", "自助装箱", "设置、帮助与退出"})
        EXPECT_TRUE(toc.contains(QStringLiteral("value=\"%1\"").arg(QString::fromUtf8(title)))) << title;
}

}  // namespace
