// The library's platform layer: exceptions and assertions, format settings,
// date-time values, variants, text conversion, classes, synchronisation,
// hooks and the library loader.

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "oracle/OraPlatform.h"
#include "oracle/OraRegistry.h"
#include "oracle/OraVariant.h"

using namespace tms::ora;

namespace {

TEST(Exceptions, AssertionNamesModuleAndLine) {
    try {
        ORA_ASSERT(1 + 1 == 3, "MemData", "FFirstPiece = nil");
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "FFirstPiece = nil");
        EXPECT_EQ(e.Module(), "MemData");
        EXPECT_GT(e.Line(), 0);
        EXPECT_EQ(e.Message(), "FFirstPiece = nil (MemData, line " + std::to_string(e.Line()) + ")");
    }
    EXPECT_THROW(RaiseError("x"), Exception);
    try {
        RaiseError("plain text");
    } catch (const EAssertionFailed&) {
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "plain text");
    }
}

TEST(TextHelpers, FormatCaseAndHex) {
    EXPECT_EQ(Format("%s=%d%%%x", {std::string("a"), int64_t{-5}, int64_t{255}}), "a=-5%FF");
    EXPECT_THROW(Format("%d", {std::string("a")}), EConvertError);
    EXPECT_THROW(Format("%s %s", {std::string("a")}), EConvertError);
    EXPECT_EQ(IntToHex(12, 4), "000C");
    EXPECT_EQ(IntToHex(0x12345, 4), "12345");
    EXPECT_EQ(UpperCase("abZ\xC4\xE3"), "ABZ\xC4\xE3");  // bytes above 127 stay
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_TRUE(SameText("Select", "SELECT"));
}

// ---------------------------------------------------------------------------
// Numbers and dates under the format settings

class WithSettings : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};

TEST_F(WithSettings, FloatsFollowTheDecimalSeparator) {
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FloatToStr(-0.25), "-0.25");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(100), "100");
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(" 2.75 ", v));
    EXPECT_EQ(v, 2.75);
    EXPECT_FALSE(TryStrToFloat("1,5", v));
    EXPECT_FALSE(TryStrToFloat("1.2.3", v));
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    SetFormatSettings(fs);
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_TRUE(TryStrToFloat("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
    int64_t i = 0;
    EXPECT_TRUE(TryStrToInt64("-9223372036854775808", i));
    EXPECT_EQ(i, INT64_MIN);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", i));
}

TEST(DateTime, DaysSince18991230WithTheNegativeRule) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
    EXPECT_EQ(ComposeDateTime(1, 0.25), 1.25);

    TDateTime t = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 999);
    DecodeDate(t, y, m, d);
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_EQ(h * 10000 + n * 100 + s, 235958);
    EXPECT_EQ(ms, 999);
    // a time that rounds to a full day moves on to the next date
    DecodeDate(EncodeDate(2024, 12, 31) + 0.9999999999, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20250101);
    for (int year : {1, 1600, 1899, 1900, 1970, 2038, 9999}) {
        DecodeDate(EncodeDate(year, 3, 1), y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, year * 10000 + 301);
    }
}

TEST_F(WithSettings, DateTextUsesTheShortDateAndLongTime) {
    TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 0);
    EXPECT_EQ(DateTimeToStr(t), "2024-03-05 13:04:05");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024-03-05");
    EXPECT_EQ(FormatDateTime("d/m/yy h:n:s.zzz AM/PM", t), "5-3-24 1:4:5.000 PM");
    EXPECT_EQ(FormatDateTime("hh ampm 'at' yyyy", EncodeTime(0, 30, 0, 0)), "12 AM at 1899");

    TDateTime back = 0;
    EXPECT_TRUE(TryStrToDateTime("2024-03-05 13:04:05", back));
    EXPECT_EQ(back, t);
    EXPECT_TRUE(TryStrToDateTime("2024-03-05 1:04:05 PM", back));
    EXPECT_EQ(back, t);
    EXPECT_TRUE(TryStrToDateTime("12:00 AM", back));
    EXPECT_EQ(back, 0.0);
    EXPECT_FALSE(TryStrToDateTime("2024-13-01", back));
    EXPECT_FALSE(TryStrToDateTime("yesterday", back));
    EXPECT_TRUE(TryStrToDateTime("1899-12-29 06:00", back));
    EXPECT_EQ(back, -1.25);

    TFormatSettings fs;
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '.';
    fs.LongTimeFormat = "hh:nn";
    SetFormatSettings(fs);
    EXPECT_EQ(DateTimeToStr(t), "05.03.2024 13:04");
    EXPECT_TRUE(TryStrToDateTime("05.03.2024", back));
    EXPECT_EQ(back, EncodeDate(2024, 3, 5));
}

// ---------------------------------------------------------------------------
// Variants

TEST(Variant, TypeCodesAndByReferenceObjects) {
    EXPECT_EQ(varByRef, 0x4000);
    EXPECT_EQ(varArray, 0x2000);
    EXPECT_EQ(varString, 0x100);
    EXPECT_EQ(TVariant().VarType(), varEmpty);
    EXPECT_EQ(TVariant::Null().VarType(), varNull);
    EXPECT_EQ(TVariant(int32_t{1}).VarType(), varInteger);
    EXPECT_EQ(TVariant(int16_t{1}).VarType(), varSmallint);
    EXPECT_EQ(TVariant(uint8_t{1}).VarType(), varByte);
    EXPECT_EQ(TVariant(int64_t{1}).VarType(), varInt64);
    EXPECT_EQ(TVariant(1.0).VarType(), varDouble);
    EXPECT_EQ(TVariant(true).VarType(), varBoolean);
    EXPECT_EQ(TVariant("s").VarType(), varString);
    EXPECT_EQ(TVariant(u"w").VarType(), varOleStr);
    EXPECT_EQ(TVariant::FromDate(1).VarType(), varDate);

    int object = 0;
    TVariant ref = TVariant::ByRef(&object);
    EXPECT_EQ(ref.VarType(), 16384);
    EXPECT_EQ(ref.RefPointer(), &object);
    TVariant copy = ref;
    EXPECT_EQ(copy.RefPointer(), &object);
    EXPECT_THROW(TVariant(1).RefPointer(), EVariantError);
}

TEST(Variant, ArraysWithBounds) {
    TVariant a = TVariant::CreateArray(1, 3);
    EXPECT_EQ(a.VarType(), varArray | varVariant);
    EXPECT_EQ(a.LowBound(), 1);
    EXPECT_EQ(a.HighBound(), 3);
    a.PutElement(1, TVariant("x"));
    a.PutElement(3, TVariant(int32_t{7}));
    EXPECT_TRUE(a.GetElement(2).IsEmpty());
    EXPECT_EQ(a.GetElement(3).AsInteger(), 7);
    EXPECT_THROW(a.GetElement(0), ERangeError);
    EXPECT_THROW(a.PutElement(4, TVariant()), ERangeError);
    TVariant b = a;  // arrays copy their elements
    b.PutElement(1, TVariant("y"));
    EXPECT_EQ(a.GetElement(1).AsString(), "x");

    const char raw[] = {1, 2, 3};
    TVariant bytes = TVariant::FromBytes(raw, 3);
    EXPECT_EQ(bytes.VarType(), varArray | varByte);
    EXPECT_EQ(bytes.LowBound(), 0);
    EXPECT_EQ(bytes.HighBound(), 2);
    EXPECT_EQ(bytes.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
    bytes.PutElement(0, TVariant(int32_t{200}));
    EXPECT_EQ(bytes.GetElement(0).AsInteger(), 200);
    EXPECT_THROW(bytes.PutElement(0, TVariant(int32_t{300})), ERangeError);
    EXPECT_EQ(TVariant::FromBytes(nullptr, 0).HighBound(), -1);
    EXPECT_THROW(TVariant(1).LowBound(), EVariantError);
}

TEST(Variant, Conversions) {
    EXPECT_EQ(TVariant("12").AsInteger(), 12);
    EXPECT_EQ(TVariant("2.5").AsDouble(), 2.5);
    EXPECT_EQ(TVariant(2.5).AsInteger(), 2);  // halves go to the even neighbour
    EXPECT_EQ(TVariant(3.5).AsInteger(), 4);
    EXPECT_EQ(TVariant(true).AsInteger(), -1);
    EXPECT_EQ(TVariant(true).AsString(), "True");
    EXPECT_TRUE(TVariant("true").AsBoolean());
    EXPECT_FALSE(TVariant(int32_t{0}).AsBoolean());
    EXPECT_EQ(TVariant().AsInteger(), 0);
    EXPECT_EQ(TVariant().AsString(), "");
    EXPECT_EQ(TVariant(1.25).AsString(), "1.25");
    EXPECT_EQ(TVariant::FromCurrencyScaled(12345).AsDouble(), 1.2345);
    EXPECT_EQ(TVariant(1.5).AsCurrencyScaled(), 15000);
    EXPECT_EQ(TVariant::FromDate(EncodeDate(2024, 3, 5)).AsString(), "2024-03-05");
    EXPECT_EQ(TVariant("2024-03-05").AsDateTime(), EncodeDate(2024, 3, 5));
    EXPECT_THROW(TVariant::Null().AsInteger(), EVariantError);
    EXPECT_THROW(TVariant::Null().AsString(), EVariantError);
    EXPECT_THROW(TVariant("abc").AsInteger(), EVariantError);
    EXPECT_THROW(TVariant(int64_t{1} << 40).AsInteger(), EVariantError);
    EXPECT_EQ(TVariant(int64_t{1} << 40).AsInt64(), int64_t{1} << 40);
    EXPECT_THROW(TVariant(1e300).AsInt64(), EVariantError);
    EXPECT_EQ(TVariant(u"中文").AsString(), "\xD6\xD0\xCE\xC4");  // through the ANSI code page
    EXPECT_EQ(TVariant("\xD6\xD0\xCE\xC4").AsWideString(), u"中文");
}

TEST(DateTime, ValuesOutsideTheDateRangeRaiseTheConversionError) {
    int y, m, d, h, mi, sec, ms;
    const double first = EncodeDate(1, 1, 1);
    const double last = EncodeDate(9999, 12, 31);
    DecodeDate(first, y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{1, 1, 1}));
    DecodeDate(last + 0.75, y, m, d);
    DecodeTime(last + 0.75, h, mi, sec, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{9999, 12, 31, 18}));
    DecodeDate(first - 0.5, y, m, d);  // the negative rule: 0001-01-01 12:00
    EXPECT_EQ(y, 1);

    for (double bad : {9.2e18, 9.3e18, -9.3e18, 1e300, std::nan(""), HUGE_VAL, -HUGE_VAL, last + 1, first - 1,
                       last + 0.9999999999}) {
        EXPECT_THROW(DecodeDate(bad, y, m, d), EConvertError) << bad;
        EXPECT_THROW(DecodeTime(bad, h, mi, sec, ms), EConvertError) << bad;
        EXPECT_THROW(FormatDateTime("yyyy", bad), EConvertError) << bad;
        EXPECT_FALSE(IsValidDateTime(bad)) << bad;
    }
    EXPECT_TRUE(IsValidDateTime(last + 0.5));
    // reachable from text
    EXPECT_THROW(TVariant("1e300").AsDateTime(), EVariantError);
    EXPECT_THROW(TVariant(std::nan("")).AsDateTime(), EVariantError);
    EXPECT_THROW(TVariant::FromDate(1e300).AsString(), EConvertError);
    EXPECT_EQ(TVariant("2958465").AsDateTime(), last);
}

TEST(Variant, CurrencyBeyondItsRangeIsAnOverflow) {
    const int64_t most = 922337203685477;
    EXPECT_EQ(TVariant(most).AsCurrencyScaled(), most * 10000);
    EXPECT_EQ(TVariant(-most).AsCurrencyScaled(), -most * 10000);
    for (int64_t bad : {most + 1, -most - 1, int64_t{1} << 62, std::numeric_limits<int64_t>::min()})
        EXPECT_THROW(TVariant(bad).AsCurrencyScaled(), EVariantError) << bad;
    EXPECT_THROW(TVariant(1e15).AsCurrencyScaled(), EVariantError);
    EXPECT_THROW(TVariant(-1e300).AsCurrencyScaled(), EVariantError);
    EXPECT_THROW(TVariant(std::nan("")).AsCurrencyScaled(), EVariantError);
    EXPECT_THROW(TVariant("1e20").AsCurrencyScaled(), EVariantError);
    EXPECT_NEAR(static_cast<double>(TVariant(922337203685477.0).AsCurrencyScaled()), 9.22337203685477e18, 1e4);
}

TEST(FormatSettingsLock, ReadersAlwaysSeeOneWholeSetting) {
    // One thread switches between two complete settings while others read:
    // every copy read must be one of the two, never a mix.
    TFormatSettings a, b;
    b.DecimalSeparator = ',';
    b.ShortDateFormat = std::string(200, 'd');  // long enough to live on the heap
    b.LongTimeFormat = std::string(300, 'h');
    std::atomic<bool> stop{false};
    std::atomic<int> mixed{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            while (!stop.load()) {
                TFormatSettings fs = FormatSettings();
                const bool isB = fs.DecimalSeparator == ',';
                if (fs.ShortDateFormat != (isB ? b : a).ShortDateFormat ||
                    fs.LongTimeFormat != (isB ? b : a).LongTimeFormat)
                    ++mixed;
                (void)FloatToStr(1.5);
            }
        });
    for (int i = 0; i < 20000; ++i) SetFormatSettings(i % 2 ? a : b);
    stop = true;
    for (auto& r : readers) r.join();
    ResetFormatSettings();
    EXPECT_EQ(mixed.load(), 0);
}

// ---------------------------------------------------------------------------
// ANSI <-> UTF-16

TEST(TextConversion, GbkByDefaultWithReplacements) {
    EXPECT_EQ(AnsiCodePage(), "GBK");
    EXPECT_EQ(AnsiToWide("\xC4\xE3\xBA\xC3 ok"), u"你好 ok");
    EXPECT_EQ(WideToAnsi(u"你好 ok"), "\xC4\xE3\xBA\xC3 ok");
    EXPECT_EQ(WideToAnsi(u"a\u0E01b"), "a?b");   // a character GBK lacks
    EXPECT_EQ(AnsiToWide("a\x81"), u"a\uFFFD");  // a lead byte without its trail
    EXPECT_EQ(AnsiToWide(""), u"");
    EXPECT_EQ(WideToAnsi(u""), "");
    SetAnsiCodePage("ISO-8859-1");
    EXPECT_EQ(AnsiToWide("\xE9"), u"\u00E9");
    SetAnsiCodePage("GBK");
}

// ---------------------------------------------------------------------------
// Classes

class TTestField : public TObject {
    ORA_DECLARE_CLASS(TTestField)
};
class TOtherField : public TTestField {
    ORA_DECLARE_CLASS(TOtherField)
};
TObject* MakeTestField() { return new TTestField; }
ORA_DEFINE_CLASS(TTestField, TObject, MakeTestField)
ORA_DEFINE_CLASS(TOtherField, TTestField, nullptr)

TEST(ClassRegistry, FindsRegisteredClassesByName) {
    TOtherField f;
    EXPECT_STREQ(f.ClassName(), "TOtherField");
    EXPECT_TRUE(f.ClassType()->InheritsFrom(TTestField::StaticClass()));
    EXPECT_FALSE(TTestField::StaticClass()->InheritsFrom(TOtherField::StaticClass()));

    EXPECT_EQ(GetClass("TTestField"), nullptr);
    RegisterClass(TTestField::StaticClass());
    RegisterClass(TTestField::StaticClass());  // again: no change
    EXPECT_EQ(GetClass("ttestfield"), TTestField::StaticClass());
    EXPECT_EQ(FindClass("TTestField"), TTestField::StaticClass());
    TObject* made = FindClass("TTestField")->Create();
    EXPECT_STREQ(made->ClassName(), "TTestField");
    delete made;
    EXPECT_THROW(FindClass("TNoSuch"), EClassRegistryError);

    static const TClassDesc impostor{"TTestField", nullptr, nullptr};
    EXPECT_THROW(RegisterClass(&impostor), EClassRegistryError);
    UnRegisterClass(TTestField::StaticClass());
    EXPECT_EQ(GetClass("TTestField"), nullptr);
}

// ---------------------------------------------------------------------------
// Synchronisation

TEST(Synchronisation, EventsManualAndAutomatic) {
    TEvent manual(true, true);
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::Signaled);
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::Signaled);  // stays set
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(1), TWaitResult::Timeout);

    TEvent automatic(false, false);
    std::thread setter([&] { automatic.SetEvent(); });
    EXPECT_EQ(automatic.WaitFor(INFINITE), TWaitResult::Signaled);
    setter.join();
    EXPECT_FALSE(automatic.IsSet());  // taken by the wait
}

TEST(Synchronisation, CriticalSectionAndMutexAreReentrantAndExclusive) {
    TCriticalSection cs;
    cs.Enter();
    cs.Enter();  // the same thread may enter again
    bool otherGot = true;
    std::thread other([&] { otherGot = cs.TryEnter(); });
    other.join();
    EXPECT_FALSE(otherGot);
    cs.Leave();
    cs.Leave();

    TMutex m;
    EXPECT_EQ(m.WaitFor(0), TWaitResult::Signaled);
    EXPECT_EQ(m.WaitFor(0), TWaitResult::Signaled);
    TWaitResult seen = TWaitResult::Signaled;
    std::thread waiter([&] { seen = m.WaitFor(5); });
    waiter.join();
    EXPECT_EQ(seen, TWaitResult::Timeout);
    m.Release();
    m.Release();
    std::thread taker([&] {
        seen = m.WaitFor(INFINITE);
        m.Release();
    });
    taker.join();
    EXPECT_EQ(seen, TWaitResult::Signaled);
}

TEST(Synchronisation, TickCountMoves) {
    uint32_t a = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    uint32_t b = GetTickCount();
    EXPECT_GE(static_cast<uint32_t>(b - a), 2u);
}

// ---------------------------------------------------------------------------
// Hooks

std::vector<std::string> gDetachLog;
TDetachHook gPrevOfSecond = nullptr;
void FirstHook() { gDetachLog.push_back("first"); }
void SecondHook() {
    gDetachLog.push_back("second");
    if (gPrevOfSecond) gPrevOfSecond();
}

TEST(Hooks, DetachChainRunsNewestFirstAndOnce) {
    TProcessDetachChain chain;
    EXPECT_EQ(chain.Install(FirstHook), nullptr);
    gPrevOfSecond = chain.Install(SecondHook);
    EXPECT_EQ(gPrevOfSecond, FirstHook);
    EXPECT_EQ(chain.Current(), SecondHook);
    chain.Fire();
    chain.Fire();
    EXPECT_EQ(gDetachLog, (std::vector<std::string>{"second", "first"}));
    EXPECT_TRUE(chain.Fired());
    EXPECT_FALSE(ProcessDetachChain().Fired());  // the process's own chain waits for the exit
}

TEST(Hooks, WarningsGoThroughTheHook) {
    std::vector<std::string> shown;
    TWarningHook old =
        SetWarningHook([&](const std::string& title, const std::string& text) { shown.push_back(title + "|" + text); });
    ShowWarning("Too many Input params");
    SetWarningHook(old);
    EXPECT_EQ(shown, (std::vector<std::string>{"Warning|Too many Input params"}));
}

// ---------------------------------------------------------------------------
// Libraries

TEST(Loader, LoadsByFileNameAndLooksUpByName) {
    EXPECT_EQ(LoadLibrary("advapi32.dll"), nullptr);
    EXPECT_EQ(LoadLibrary(""), nullptr);
    HMODULE libc = LoadLibrary("libc.so.6");
    ASSERT_NE(libc, nullptr);
    EXPECT_NE(GetProcAddress(libc, "strlen"), nullptr);
    EXPECT_EQ(GetProcAddress(libc, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "strlen"), nullptr);
    EXPECT_TRUE(FreeLibrary(libc));
    EXPECT_FALSE(FreeLibrary(nullptr));
}

// ---------------------------------------------------------------------------
// Registry, files and the tick

TEST(Registry, MemoryAndIniSourcesCompareWithoutCase) {
    TMemoryRegistry mem;
    mem.SetString("SOFTWARE\\ORACLE\\KEY_A", "ORACLE_HOME", "/opt/a");
    mem.AddKey("SOFTWARE\\ORACLE\\HOME0\\Deeper");
    EXPECT_TRUE(mem.KeyExists("software\\oracle"));
    EXPECT_EQ(mem.SubKeys("SOFTWARE\\Oracle"), (std::vector<std::string>{"KEY_A", "HOME0"}));
    std::string v;
    EXPECT_TRUE(mem.ReadString("SOFTWARE\\ORACLE\\key_a", "oracle_home", v));
    EXPECT_EQ(v, "/opt/a");
    EXPECT_FALSE(mem.ReadString("SOFTWARE\\ORACLE\\KEY_A", "OCIDLL", v));
    mem.DeleteKey("SOFTWARE\\ORACLE\\HOME0");
    EXPECT_FALSE(mem.KeyExists("SOFTWARE\\ORACLE\\HOME0\\Deeper"));

    char name[] = "/tmp/registryXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(name) << "; the client's keys\n[SOFTWARE\\ORACLE]\nORACLE_HOME = /opt/b \n\n"
                           "[SOFTWARE\\ORACLE\\KEY_B]\nORACLE_HOME_NAME=B\nbroken line\n";
    TIniRegistry ini(name);
    std::remove(name);
    EXPECT_TRUE(ini.ReadString("SOFTWARE\\ORACLE", "ORACLE_HOME", v));
    EXPECT_EQ(v, "/opt/b");
    EXPECT_EQ(ini.SubKeys("SOFTWARE\\ORACLE"), (std::vector<std::string>{"KEY_B"}));
    TIniRegistry missing("/nonexistent/registry.ini");
    EXPECT_FALSE(missing.KeyExists("SOFTWARE"));
    // without a file beside the program the process reads an empty registry
    SetRegistry(nullptr);
    EXPECT_FALSE(Registry()->KeyExists("SOFTWARE\\ORACLE"));
}

TEST(Files, PathListsNamesAndCaseInsensitiveLookup) {
    EXPECT_EQ(SplitPathList(" /a : :/b/ :"), (std::vector<std::string>{"/a", "/b/"}));
    EXPECT_EQ(ExtractFileDir("/x/y/oci.dll"), "/x/y");
    EXPECT_EQ(ExtractFileName("/x/y/oci.dll"), "oci.dll");
    EXPECT_EQ(JoinPath("/x/", "/y"), "/x/y");
    EXPECT_EQ(ExcludeTrailingDelimiter("/x//"), "/x");
    EXPECT_EQ(NativePath("C\\ora\\BIN"), "C/ora/BIN");

    char folder[] = "/tmp/filesXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string base = folder;
    ::mkdir((base + "/BIN").c_str(), 0755);
    std::ofstream(base + "/BIN/OCI.dll") << "x";
    std::ofstream(base + "/BIN/oraclient9.dll") << "x";
    EXPECT_EQ(FindFileNoCase(base, "bin/oci.DLL"), base + "/BIN/OCI.dll");
    EXPECT_EQ(FindFileNoCase(base, "bin"), "");  // a folder is no file
    EXPECT_EQ(FindFileNoCase(base, "bin/none.dll"), "");
    EXPECT_EQ(FindFilesNoCase(base + "/BIN", "ORA*.DLL"), (std::vector<std::string>{base + "/BIN/oraclient9.dll"}));
    std::remove((base + "/BIN/OCI.dll").c_str());
    std::remove((base + "/BIN/oraclient9.dll").c_str());
    ::rmdir((base + "/BIN").c_str());
    ::rmdir(folder);
}

uint32_t gNow = 0;
uint32_t Now() { return gNow; }

TEST(Synchronisation, TickDifferencesCrossTheWrap) {
    EXPECT_EQ(TickDiff(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(TickDiff(5, 5), 0u);
    SetTickSource(Now);
    gNow = 42;
    EXPECT_EQ(GetTickCount(), 42u);
    SetTickSource(nullptr);
    EXPECT_NE(GetTickCount(), 42u);
}

}  // namespace
