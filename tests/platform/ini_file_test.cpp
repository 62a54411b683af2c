#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/IniFile.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + "/setup.ini";

    void put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray content() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(IniFile, ReadsTrimmedValuesWithCaseInsensitiveNames) {
    put("; settings\n[Other]\nweight=9\n\n[ SETUP ]\n  Weight =  1 \ncenter=\nDirection=0\n[setup]\nweight=7\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("setup", "WEIGHT", "x"), "1");
    EXPECT_EQ(ini.ReadString("setup", "direction", "x"), "0");
    EXPECT_EQ(ini.ReadString("setup", "center", "x"), "");  // present but empty
    EXPECT_EQ(ini.ReadString("Other", "weight", "x"), "9");
}

TEST_F(IniFile, MissingFileSectionOrKeyReadsTheDefault) {
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("setup", "weight", ""), "");
    EXPECT_FALSE(QFile::exists(path));  // reading creates nothing
    put("[other]\nweight=1\n;weight=1\n[setup]\n;direction=1\n");
    EXPECT_EQ(ini.ReadString("setup", "weight", "d"), "d");     // only in another section
    EXPECT_EQ(ini.ReadString("setup", "direction", "d"), "d");  // commented out
    EXPECT_EQ(ini.ReadString("nosuch", "weight", "d"), "d");
}

TEST_F(IniFile, UnreadableFileThrows) {
    ASSERT_TRUE(QDir().mkdir(path));  // a folder where the file should be
    TIniFile ini(path);
    EXPECT_THROW(ini.ReadString("setup", "weight", ""), EIniFileError);
    EXPECT_THROW(ini.WriteString("setup", "weight", "1"), EIniFileError);
}

TEST_F(IniFile, WritingOneKeyKeepsEveryOtherLine) {
    put("; my notes\r\n[Setup]\r\nWeight = 0\r\nextra = keep me \r\n\r\n[view]\r\nzoom=3\r\n");
    TIniFile ini(path);
    ini.WriteString("setup", "weight", "1");
    EXPECT_EQ(content(), "; my notes\r\n[Setup]\r\nWeight=1\r\nextra = keep me \r\n\r\n[view]\r\nzoom=3\r\n");

    // A new key goes at the end of its own section, before the blank line.
    ini.WriteString("SETUP", "direction", "0");
    EXPECT_EQ(content(),
              "; my notes\r\n[Setup]\r\nWeight=1\r\nextra = keep me \r\ndirection=0\r\n\r\n[view]\r\nzoom=3\r\n");
    EXPECT_EQ(ini.ReadString("setup", "direction", "x"), "0");
    EXPECT_EQ(ini.ReadString("view", "zoom", "x"), "3");
}

TEST_F(IniFile, WritingCreatesTheFileOrTheSection) {
    TIniFile ini(path);
    ini.WriteString("setup", "weight", "1");
    EXPECT_EQ(content(), "[setup]\nweight=1\n");

    put("[view]\nzoom=3");  // no line end at the end of the file
    ini.WriteString("setup", "center", "0");
    EXPECT_EQ(content(), "[view]\nzoom=3\n[setup]\ncenter=0\n");
    ini.WriteString("view", "size", "2");
    EXPECT_EQ(content(), "[view]\nzoom=3\nsize=2\n[setup]\ncenter=0\n");
}

TEST_F(IniFile, ReadOnlyFileIsNotWritten) {
    put("[setup]\nweight=0\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    TIniFile ini(path);
    EXPECT_THROW(ini.WriteString("setup", "weight", "1"), EIniFileError);
    EXPECT_EQ(content(), "[setup]\nweight=0\n");
    EXPECT_EQ(ini.ReadString("setup", "weight", ""), "0");  // still readable
}

TEST_F(IniFile, WriteKeepsTheFilesPermissions) {
    put("[setup]\nweight=0\n");
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
    TIniFile(path).WriteString("setup", "weight", "1");
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), mode);
    EXPECT_EQ(content(), "[setup]\nweight=1\n");
}

}  // namespace
