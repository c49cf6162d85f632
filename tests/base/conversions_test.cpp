#include "base/conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/exceptions.h"

using namespace plu;

namespace {
class Conversions : public ::testing::Test {
protected:
    ScopedRegionalSettings pin{RegionalSettings::Defaults()};
};
}  // namespace

TEST_F(Conversions, IntegersStrictAndTrying) {
    int32_t v = 0;
    EXPECT_TRUE(TryStrToInt(u"123", v));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(TryStrToInt(u"  -42", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(TryStrToInt(u"00123", v));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(TryStrToInt(u"$1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(TryStrToInt(u"0x10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(TryStrToInt(u"-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(TryStrToInt(u"2147483648", v));
    EXPECT_FALSE(TryStrToInt(u"12 ", v));  // trailing blanks are not digits
    EXPECT_FALSE(TryStrToInt(u"1.5", v));
    EXPECT_FALSE(TryStrToInt(u"", v));
    EXPECT_FALSE(TryStrToInt(u"-", v));
    EXPECT_EQ(StrToInt(u"12"), 12);
    try {
        StrToInt(u"abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
    }
}

TEST_F(Conversions, FloatsUseTheLocaleDecimalSeparator) {
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(u"12.5", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_TRUE(TryStrToFloat(u" -.5 ", v));
    EXPECT_DOUBLE_EQ(v, -0.5);
    EXPECT_TRUE(TryStrToFloat(u"1e3", v));
    EXPECT_DOUBLE_EQ(v, 1000);
    EXPECT_TRUE(TryStrToFloat(u"1.5E-2", v));
    EXPECT_DOUBLE_EQ(v, 0.015);
    EXPECT_FALSE(TryStrToFloat(u"1e", v));
    EXPECT_FALSE(TryStrToFloat(u"1,5", v));
    EXPECT_FALSE(TryStrToFloat(u"1,000.5", v));
    EXPECT_FALSE(TryStrToFloat(u".", v));
    EXPECT_FALSE(TryStrToFloat(u"1e999", v));
    RegionalSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    EXPECT_TRUE(TryStrToFloat(u"12,5", v, comma));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_FALSE(TryStrToFloat(u"12.5", v, comma));
    EXPECT_THROW(StrToFloat(u"x"), EConvertError);
}

TEST_F(Conversions, DatesAndTimesByTheShortDateForm) {
    TDateTime v = 0;
    ASSERT_TRUE(TryStrToDateTime(u"3/15/2024", v));
    EXPECT_DOUBLE_EQ(v, EncodeDate(2024, 3, 15));
    ASSERT_TRUE(TryStrToDateTime(u"3/15/2024 14:05:09", v));
    EXPECT_NEAR(v, EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0), 1e-9);
    ASSERT_TRUE(TryStrToDateTime(u"2:05 PM", v));
    EXPECT_NEAR(v, EncodeTime(14, 5, 0, 0), 1e-9);
    ASSERT_TRUE(TryStrToDateTime(u"12:30 AM", v));
    EXPECT_NEAR(v, EncodeTime(0, 30, 0, 0), 1e-9);
    ASSERT_TRUE(TryStrToDateTime(u"1/2/24", v));
    EXPECT_EQ(DecodeDate(v).year, 2024);
    ASSERT_TRUE(TryStrToDateTime(u"1/2", v));
    EXPECT_EQ(DecodeDate(v).year, DecodeDate(Now()).year);
    EXPECT_FALSE(TryStrToDateTime(u"2/30/2024", v));
    EXPECT_FALSE(TryStrToDateTime(u"12", v));
    EXPECT_FALSE(TryStrToDateTime(u"25:00", v));
    EXPECT_FALSE(TryStrToDateTime(u"abc", v));
    EXPECT_FALSE(TryStrToDateTime(u"1/2/2024 x", v));
    RegionalSettings dmy;
    dmy.ShortDateFormat = u"dd.MM.yyyy";
    dmy.DateSeparator = u'.';
    ASSERT_TRUE(TryStrToDateTime(u"15.03.2024", v, dmy));
    EXPECT_DOUBLE_EQ(v, EncodeDate(2024, 3, 15));
    EXPECT_THROW(StrToDateTime(u"x"), EConvertError);
}

TEST_F(Conversions, DateTimeTexts) {
    TDateTime d = EncodeDate(2024, 3, 15);
    TDateTime t = EncodeTime(14, 5, 9, 0);
    EXPECT_EQ(DateToStr(d), u"3/15/2024");
    EXPECT_EQ(TimeToStr(t), u"2:05:09 PM");
    EXPECT_EQ(DateTimeToStr(d + t), u"3/15/2024 2:05:09 PM");
    EXPECT_EQ(DateTimeToStr(d), u"3/15/2024");  // midnight: the time is left out
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", d + t), u"2024-03-15 14:05:09");
    EXPECT_EQ(FormatDateTime(u"dddd d mmmm yy", d), u"Friday 15 March 24");
    EXPECT_EQ(FormatDateTime(u"h:mm am/pm", EncodeTime(0, 30, 0, 0)), u"12:30 am");
    EXPECT_EQ(FormatDateTime(u"\"at\" hh:mm", t), u"at 14:05");
    EXPECT_EQ(DecodeDate(0).year, 1899);
    EXPECT_EQ(DecodeDate(0).day, 30);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 15)), 6);  // Friday
    EXPECT_EQ(DecodeTime(0.9999999999).hour, 0);       // rounds up to midnight
}

TEST_F(Conversions, BooleansAndGeneralFloatText) {
    bool b = false;
    EXPECT_TRUE(TryStrToBool(u"TRUE", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(TryStrToBool(u" false ", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(TryStrToBool(u"yes", b));
    EXPECT_EQ(BoolToStr(true), u"True");
    EXPECT_EQ(FloatToStr(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(FloatToStrGeneral(1.0 / 3, 10), u"0.3333333333");
    RegionalSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(FloatToStr(12.5, comma), u"12,5");
}

TEST(RegionalSettingsEnv, PlainLocaleGivesTheDefaults) {
    const char* saved = std::getenv("LC_ALL");
    std::string keep = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    RegionalSettings s = RegionalSettings::FromEnvironment();
    if (saved) setenv("LC_ALL", keep.c_str(), 1); else unsetenv("LC_ALL");
    EXPECT_EQ(s.DecimalSeparator, u'.');
    EXPECT_EQ(s.ThousandSeparator, u',');
    EXPECT_EQ(s.ShortDateFormat, u"M/d/yyyy");
    EXPECT_EQ(s.LongTimeFormat, u"h:mm:ss AMPM");
}
