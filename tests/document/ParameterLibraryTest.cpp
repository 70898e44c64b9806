#include <gtest/gtest.h>
#include "document/ParameterLibrary.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
enum EqColumn
{
    typeColumn = 0,
    gainColumn = 1,
    freqColumn = 2,
    widthColumn = 3
};

std::string formatRow (const ParameterDescriptor* table, int index, int step, int selector = 0)
{
    char text[64];
    std::strcpy (text, "junk");
    const int result = formatParameterValue (table, index, step, selector, text, (int)sizeof (text));
    return result == parameterOk ? std::string (text)
                                 : "error " + std::to_string (result) + " [" + text + "]";
}

std::string eq (int band, int column, int step, int selector = 0)
{
    return formatRow (getEqBandTable(), 4 * (band - 1) + column, step, selector);
}

std::string engineering (double value, int flags)
{
    char text[64];
    formatEngineering (text, value, flags);
    return text;
}

// The value a display text stands for: its number times its SI prefix.
double valueOfText (const std::string& text)
{
    const double number = std::strtod (text.c_str(), nullptr);
    return text.find (" k") != std::string::npos ? number * 1000.0 : number;
}

class ParameterLibraryTest : public ::testing::Test
{
protected:
    void TearDown() override { resetSiPrefixes(); }
};

ParameterDescriptor customRow (const ValueMapping* mapping, const UnitRecord* unit, double scale,
                               double offset, int flags)
{
    return { "custom", 0, 0, 100, 1, 0, mapping, unit, unit, nullptr, scale, offset, 0.0, 0.0, flags };
}

const ParameterDescriptor endRow{ "",      -1,      0,   0,   0,   0,   nullptr, nullptr,
                                  nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, 0 };
} // namespace

TEST_F (ParameterLibraryTest, EqBandTableShowsStepsAsUnitTexts)
{
    for (int band = 1; band <= 4; ++band)
    {
        EXPECT_EQ (eq (band, gainColumn, 240), "0.0 dB");
        EXPECT_EQ (eq (band, gainColumn, 0), "-24.0 dB");
        EXPECT_EQ (eq (band, gainColumn, 239), "-0.1 dB");
        EXPECT_EQ (eq (band, gainColumn, 480), "24.0 dB");
        EXPECT_EQ (eq (band, widthColumn, 22), "2.3 ");
        EXPECT_EQ (eq (band, widthColumn, 59), "6.0 ");
        EXPECT_EQ (eq (band, freqColumn, 19), "180 Hz");
        EXPECT_EQ (eq (band, freqColumn, 38), "1.60 kHz");
        EXPECT_EQ (eq (band, freqColumn, 60), "20.0 kHz");
        EXPECT_EQ (eq (band, typeColumn, 6), "Band");
        EXPECT_EQ (eq (band, typeColumn, 12), "HiCut12");

        const std::string prefix = std::to_string (band) + ": ";
        const auto* rows = getEqBandTable() + 4 * (band - 1);
        EXPECT_EQ (rows[0].name, prefix + "Type");
        EXPECT_EQ (rows[1].name, prefix + "Gain");
        EXPECT_EQ (rows[2].name, prefix + "Freq");
        EXPECT_EQ (rows[3].name, prefix + "Width");
        EXPECT_EQ (rows[3].id, 4 * (band - 1) + 3);
    }

    const char* types[] = { "LoCut12",    "LoCut6", "LoShelve12", "LoShelve9", "LoShelve6",
                            "LoShelve3",  "Band",   "HiShelve3",  "HiShelve6", "HiShelve9",
                            "HiShelve12", "HiCut6", "HiCut12" };
    for (int step = 0; step < 13; ++step)
        EXPECT_EQ (eq (1, typeColumn, step), types[step]);

    // One decade of the preferred values; the next decade is the same times ten.
    const char* decade[] = { "20.0 Hz", "22.4 Hz", "25.0 Hz", "28.0 Hz", "31.5 Hz", "35.5 Hz", "40.0 Hz",
                             "45.0 Hz", "50.0 Hz", "56.0 Hz", "63.0 Hz", "71.0 Hz", "80.0 Hz", "90.0 Hz",
                             "100 Hz",  "112 Hz",  "125 Hz",  "140 Hz",  "160 Hz",  "180 Hz" };
    for (int step = 0; step < 20; ++step)
    {
        EXPECT_EQ (eq (2, freqColumn, step), decade[step]);
        EXPECT_DOUBLE_EQ (valueOfText (eq (2, freqColumn, step + 20)), 10.0 * valueOfText (decade[step]));
    }

    // Below the row's range the preferred values go on downwards: k = 0 is 1 Hz, k = -4 is 0.9 Hz.
    EXPECT_EQ (eq (1, freqColumn, -26), "1.00 Hz");
    EXPECT_EQ (eq (1, freqColumn, -27), "900 mHz");

    // The unit name selector: medium, long and tag; the empty unit has only its tag.
    EXPECT_EQ (eq (1, gainColumn, 240, 2), "0.0 dB Gain");
    EXPECT_EQ (eq (1, gainColumn, 240, 3), "0.0 [dBGain]");
    EXPECT_EQ (eq (1, freqColumn, 38, 2), "1.60 kHertz");
    EXPECT_EQ (eq (1, widthColumn, 22, 3), "2.3 [Null]");
    EXPECT_EQ (eq (1, freqColumn, 38, 9), "1.60 kHz");
}

TEST_F (ParameterLibraryTest, EveryStepOfTheEqTableReadsBackFromItsText)
{
    const auto* table = getEqBandTable();

    for (int index = 0; index < 16; ++index)
    {
        int minStep = -1, maxStep = -1;
        ASSERT_EQ (getParameterMin (table, index, minStep), parameterOk);
        ASSERT_EQ (getParameterMax (table, index, maxStep), parameterOk);
        EXPECT_EQ (minStep, 0);
        EXPECT_EQ (maxStep, index % 4 == typeColumn   ? 12
                            : index % 4 == gainColumn ? 480
                            : index % 4 == freqColumn ? 60
                                                      : 59);

        for (int step = minStep; step <= maxStep; ++step)
        {
            const auto text = formatRow (table, index, step);
            const double value = index % 4 == typeColumn ? step : valueOfText (text);
            int parsed = -1;
            ASSERT_EQ (parseParameterValue (table, index, value, parsed), parameterOk) << text;
            EXPECT_EQ (parsed, step) << "row " << index << " text " << text;
        }
    }
}

TEST_F (ParameterLibraryTest, ParsingRoundsAndDoesNotClampToTheRow)
{
    const auto* table = getEqBandTable();
    int step = 12345;

    EXPECT_EQ (parseParameterValue (table, freqColumn, 1000.0, step), parameterOk);
    EXPECT_EQ (step, 34);
    // Below the row: 1.6 Hz is k = 16, step (16 - 104) / 4.
    EXPECT_EQ (parseParameterValue (table, freqColumn, 1.6, step), parameterOk);
    EXPECT_EQ (step, -22);
    EXPECT_EQ (parseParameterValue (table, gainColumn, 30.0, step), parameterOk);
    EXPECT_EQ (step, 540);
    EXPECT_EQ (parseParameterValue (table, gainColumn, 0.05, step), parameterOk);
    EXPECT_EQ (step, 241);
    EXPECT_EQ (parseParameterValue (table, gainColumn, -24.05, step), parameterOk);
    EXPECT_EQ (step, -1);
    // 0.15 is a hair below half-way in binary; it still rounds up like the text reads.
    EXPECT_EQ (parseParameterValue (table, widthColumn, 0.15, step), parameterOk);
    EXPECT_EQ (step, 1);
    EXPECT_EQ (parseParameterValue (table, typeColumn, 5.5, step), parameterOk);
    EXPECT_EQ (step, 6);

    // Far values saturate instead of overflowing.
    EXPECT_EQ (parseParameterValue (table, gainColumn, 1e300, step), parameterOk);
    EXPECT_EQ (step, INT_MAX);
    EXPECT_EQ (parseParameterValue (table, gainColumn, -std::numeric_limits<double>::infinity(), step),
               parameterOk);
    EXPECT_EQ (step, INT_MIN);

    step = 12345;
    EXPECT_EQ (parseParameterValue (table, freqColumn, 0.0, step), parameterValueTooSmall);
    EXPECT_EQ (parseParameterValue (table, freqColumn, -50.0, step), parameterValueTooSmall);
    EXPECT_EQ (parseParameterValue (table, gainColumn, std::nan (""), step), parameterMissingArgument);
    EXPECT_EQ (parseParameterValue (table, 16, 1.0, step), parameterNoSuchRow);
    EXPECT_EQ (parseParameterValue (nullptr, 0, 1.0, step), parameterMissingArgument);
    EXPECT_EQ (step, 12345);
}

TEST_F (ParameterLibraryTest, RefusalsLeaveTheTextEmptyAndNeverOverrunIt)
{
    const auto* table = getEqBandTable();
    int step = 777;

    EXPECT_EQ (getParameterMin (table, 16, step), parameterNoSuchRow);
    EXPECT_EQ (getParameterMax (table, -1, step), parameterNoSuchRow);
    EXPECT_EQ (getParameterMin (nullptr, 0, step), parameterMissingArgument);
    EXPECT_EQ (step, 777);

    EXPECT_EQ (formatRow (table, 16, 0), "error -1 []");
    EXPECT_EQ (formatRow (table, -1, 0), "error -1 []");
    EXPECT_EQ (formatRow (table, typeColumn, 13), "error -2 []");
    EXPECT_EQ (formatRow (table, typeColumn, -1), "error -2 []");

    // "1.60 kHz" needs nine bytes: eight give an empty text, not a cut one.
    char text[16];
    std::memset (text, '#', sizeof (text));
    EXPECT_EQ (formatParameterValue (table, freqColumn, 38, 0, text, 8), parameterMissingArgument);
    EXPECT_EQ (text[0], 0);
    EXPECT_EQ (text[8], '#');
    EXPECT_EQ (formatParameterValue (table, freqColumn, 38, 0, text, 9), parameterOk);
    EXPECT_STREQ (text, "1.60 kHz");
    EXPECT_EQ (formatParameterValue (table, typeColumn, 12, 0, text, 7), parameterMissingArgument);
    text[0] = 'x';
    EXPECT_EQ (formatParameterValue (table, typeColumn, 12, 0, text, 0), parameterMissingArgument);
    EXPECT_EQ (text[0], 'x');

    // Every flag combination on extreme values stays within 63 characters.
    const double values[] = { 0.0,
                              -0.0,
                              1.0,
                              -9.9999999,
                              999.9995,
                              1e15,
                              -1e21,
                              1e-21,
                              1e300,
                              -1e300,
                              5e-324,
                              1e-300,
                              std::numeric_limits<double>::max(),
                              INFINITY,
                              -INFINITY,
                              NAN };
    char guarded[96];
    for (double value : values)
        for (int flags = 0; flags < 0x1000; ++flags)
        {
            std::memset (guarded, '#', sizeof (guarded));
            formatEngineering (guarded, value, flags);
            ASSERT_LE (std::strlen (guarded), 63u) << value << " " << flags;
            for (size_t i = 64; i < sizeof (guarded); ++i)
                ASSERT_EQ (guarded[i], '#');
        }
}

TEST_F (ParameterLibraryTest, EngineeringFormatFollowsItsFlags)
{
    EXPECT_EQ (engineering (0.000001, 0x913), "1.00 u");
    EXPECT_EQ (engineering (1e21, 0x913), "1.00 E+21");
    EXPECT_EQ (engineering (1e-21, 0x913), "1.00 E-21");
    EXPECT_EQ (engineering (1e15, 0x913), "1.00 >");
    EXPECT_EQ (engineering (1e-18, 0x913), "1.00 a");
    EXPECT_EQ (engineering (0.0, 0x913), "0.00 ");
    EXPECT_EQ (engineering (-1600.0, 0x913), "-1.60 k");
    EXPECT_EQ (engineering (47123.0, 0x913), "47.1 k");
    EXPECT_EQ (engineering (5e-324, 0x913), "4.94 E-324");

    // Just below a power of ten: "1.00 k", not "1000".
    EXPECT_EQ (engineering (999.9995, 0x813), "1.00 k");
    // Plain decimals, significant digits, and significant digits below one.
    EXPECT_EQ (engineering (12345.678, 0x03), "12345.678 ");
    EXPECT_EQ (engineering (12345.678, 0x103), "12300 ");
    EXPECT_EQ (engineering (0.00123456, 0x103), "0.00123 ");
    EXPECT_EQ (engineering (3000.0, 0x100), "3000 ");

    // Trailing zeros go, zeros before the point stay, the field keeps its width.
    EXPECT_EQ (engineering (1.5, 0x203), "1.5 ");
    EXPECT_EQ (engineering (2.0, 0x203), "2 ");
    EXPECT_EQ (engineering (100.0, 0x203), "100 ");
    EXPECT_EQ (engineering (1.5, 0x263), "   1.5 ");
    EXPECT_EQ (engineering (5.0, 0x51), "  5.0 ");
    EXPECT_EQ (engineering (-5.0, 0x51), " -5.0 ");
    EXPECT_EQ (engineering (12345.6, 0x21), "12345.6 ");

    // The prefix in place of the point.
    EXPECT_EQ (engineering (1600.0, 0xD13), "1k60 ");
    EXPECT_EQ (engineering (180000.0, 0xD13), "180k ");
    EXPECT_EQ (engineering (2000.0, 0xF13), "2k ");
    EXPECT_EQ (engineering (1600.0, 0xF13), "1k6 ");
    EXPECT_EQ (engineering (1e21, 0xD13), "1.00 E+21");

    // No negative zero, no fixed notation too long for the text.
    EXPECT_EQ (engineering (-0.0, 0x11), "0.0 ");
    EXPECT_EQ (engineering (-0.04, 0x11), "0.0 ");
    EXPECT_EQ (engineering (-0.06, 0x11), "-0.1 ");
    EXPECT_EQ (engineering (1e300, 0x03), "1.00 E+300");
    EXPECT_EQ (engineering (-std::numeric_limits<double>::max(), 0x03), "-180 E+306");
    EXPECT_EQ (engineering (NAN, 0x913), "nan ");
    EXPECT_EQ (engineering (-INFINITY, 0x913), "-inf ");
    EXPECT_EQ (engineering (INFINITY, 0x53), "  inf ");
}

TEST_F (ParameterLibraryTest, SiPrefixListsAreCheckedBeforeTheyReplaceTheTable)
{
    ASSERT_EQ (setSiPrefixes ("m;@;k"), parameterOk);
    EXPECT_EQ (engineering (1600.0, 0x913), "1.60 k");
    EXPECT_EQ (engineering (0.001, 0x913), "1.00 m");
    EXPECT_EQ (engineering (1e6, 0x913), "1.00 E+6");
    EXPECT_EQ (engineering (1e-6, 0x913), "1.00 E-6");

    EXPECT_EQ (setSiPrefixes ("a;b;c;d;e;f;g;h;i;j;k;@;l"), parameterNoSuchRow);
    EXPECT_EQ (setSiPrefixes ("k;M"), parameterNoSuchRow);
    EXPECT_EQ (setSiPrefixes ("@;k;@"), parameterNoSuchRow);
    EXPECT_EQ (setSiPrefixes (("@;" + std::string (62, 'x')).c_str()), parameterNoSuchRow);
    EXPECT_EQ (engineering (1e6, 0x913), "1.00 E+6");

    EXPECT_EQ (setSiPrefixes ("a;b;c;d;e;f;g;h;i;j;k;@"), parameterOk);
    EXPECT_EQ (engineering (1e-33, 0x913), "1.00 a");

    // A prefix longer than the text is cut at 63 characters.
    ASSERT_EQ (setSiPrefixes (("@;" + std::string (61, 'x')).c_str()), parameterOk);
    EXPECT_EQ (engineering (1000.0, 0x913), "1.00 " + std::string (58, 'x'));

    resetSiPrefixes();
    EXPECT_EQ (engineering (1e6, 0x913), "1.00 M");
}

TEST_F (ParameterLibraryTest, CustomRowsUseKneeLogarithmAndUnitFlags)
{
    auto knee = customRow (&linearMapping, &emptyUnit, 1.0, 0.0, 0x8010);
    knee.knee = 10.0;
    knee.kneeFactor = 2.0;
    const UnitRecord volt{ "V\nVolt\n\f", 0 };
    const ParameterDescriptor table[] = {
        knee,
        customRow (&logarithmicMapping, &hertzUnit, 0.05, 1.0, 0),
        customRow (&linearMapping, &decibelUnit, 0.1, 0.0, 0x0011),
        customRow (&linearMapping, &volt, 0.1, 0.0, 0),
        customRow (&linearMapping, &decibelUnit, 0.1, 0.0, 0xC011),
        { "mismatch", 5, 0, 10, 1, 0, &linearMapping, &decibelUnit, &hertzUnit, nullptr, 1.0, 0.0, 0.0, 0.0,
          0 },
        { "fixed", 6, 0, 10, 0, 3, &linearMapping, &decibelUnit, &decibelUnit, nullptr, 1.0, 0.0, 0.0, 0.0,
          0 },
        endRow,
    };
    int step = -1;

    EXPECT_EQ (formatRow (table, 0, 5), "5 ");
    EXPECT_EQ (formatRow (table, 0, 15), "20 ");
    EXPECT_EQ (parseParameterValue (table, 0, 20.0, step), parameterOk);
    EXPECT_EQ (step, 15);
    EXPECT_EQ (parseParameterValue (table, 0, 7.0, step), parameterOk);
    EXPECT_EQ (step, 7);

    EXPECT_EQ (formatRow (table, 1, 20), "10.0 Hz");
    EXPECT_EQ (formatRow (table, 1, 60), "1.00 kHz");
    EXPECT_EQ (parseParameterValue (table, 1, 1000.0, step), parameterOk);
    EXPECT_EQ (step, 60);
    EXPECT_EQ (parseParameterValue (table, 1, 0.0, step), parameterValueTooSmall);

    // Row flags without 0x8000 give way to the unit's; a unit without flags gets the default.
    EXPECT_EQ (formatRow (table, 2, 3), "0 dB");
    EXPECT_EQ (formatRow (table, 3, 3), "300 mV");
    EXPECT_EQ (formatRow (table, 3, 3, 1), "300 mVolt");
    EXPECT_EQ (formatRow (table, 3, 3, 2), "300 mV");
    EXPECT_EQ (formatRow (table, 3, 3, 3), "300 mV");
    EXPECT_EQ (formatRow (table, 4, 3), "0.3 ");

    EXPECT_EQ (formatRow (table, 5, 3), "error -6 []");
    EXPECT_EQ (formatRow (table, 6, 3), "3 dB");
    EXPECT_EQ (parseParameterValue (table, 6, 3.0, step), parameterMissingArgument);
    EXPECT_EQ (formatRow (table, 7, 0), "error -1 []");
}

TEST_F (ParameterLibraryTest, ATableCountsUpToOneHundredRows)
{
    ParameterDescriptor rows[102];
    for (auto& row : rows)
        row = customRow (&linearMapping, &decibelUnit, 1.0, 0.0, 0);

    int step = -1;
    rows[100] = endRow;
    EXPECT_EQ (getParameterMax (rows, 99, step), parameterOk);
    EXPECT_EQ (step, 100);
    EXPECT_EQ (getParameterMax (rows, 100, step), parameterNoSuchRow);

    rows[100] = rows[0];
    rows[101] = endRow;
    EXPECT_EQ (getParameterMax (rows, 0, step), parameterNoSuchRow);
}
