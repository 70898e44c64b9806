#include "document/ParameterLibrary.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

struct ValueMapping
{
    // The row's value for the internal value k.
    double (*toValue) (const ParameterDescriptor& row, long long k);
    // The internal value k for a value, already rounded to a whole number; a result code.
    int (*toInternal) (const ParameterDescriptor& row, double value, double& k);
    // Choice rows show a line of their enum text instead of a number.
    bool showsChoiceText;
};

namespace
{
constexpr int maxTableRows = 100;
constexpr int maxSiPrefixes = 12;
constexpr int maxSiPrefixListLength = 63;
constexpr int engineeringTextSize = 64;
const char* const defaultSiPrefixList = "a;f;p;n;u;m;@;k;M;G;T;>";

// Below this a logarithm is refused rather than giving a step far outside any range.
constexpr double smallestLogarithmArgument = 1e-20;

// One value per 1/80 decade: the frequencies people expect to read on a 1/3-octave grid.
const int preferredFrequencies[80] = { 100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145,
                                       150, 155, 160, 165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218,
                                       224, 230, 236, 243, 250, 258, 265, 272, 280, 290, 300, 307, 315, 325,
                                       335, 345, 355, 365, 375, 387, 400, 412, 425, 437, 450, 462, 475, 487,
                                       500, 515, 530, 545, 560, 580, 600, 615, 630, 650, 670, 690, 710, 730,
                                       750, 775, 800, 825, 850, 875, 900, 925, 950, 975 };

struct SiPrefixTable
{
    char entries[maxSiPrefixes][maxSiPrefixListLength + 1];
    int numEntries;
    int emptyIndex;
};

// Fills table from a ";"-separated list in which "@" marks the empty prefix.
bool parseSiPrefixList (const char* list, SiPrefixTable& table)
{
    const auto length = std::strlen (list);

    if (length > (size_t)maxSiPrefixListLength)
        return false;

    table.numEntries = 0;
    table.emptyIndex = -1;

    for (const char* start = list;;)
    {
        const char* end = std::strchr (start, ';');
        const auto entryLength = (size_t)(end != nullptr ? end - start : list + length - start);

        if (table.numEntries == maxSiPrefixes)
            return false;

        auto& entry = table.entries[table.numEntries];

        if (entryLength == 1 && *start == '@')
        {
            if (table.emptyIndex >= 0)
                return false;

            table.emptyIndex = table.numEntries;
            entry[0] = 0;
        }
        else
        {
            std::memcpy (entry, start, entryLength);
            entry[entryLength] = 0;
        }

        ++table.numEntries;

        if (end == nullptr)
            break;

        start = end + 1;
    }

    return table.emptyIndex >= 0;
}

// The one prefix table of all formatting; message thread only.
SiPrefixTable& getSiPrefixTable()
{
    static SiPrefixTable table = []
    {
        SiPrefixTable t{};
        parseSiPrefixList (defaultSiPrefixList, t);
        return t;
    }();

    return table;
}

long long floorDivide (long long a, long long b)
{
    const auto q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// x * 10^n without overflowing the power itself for far exponents.
double timesPowerOfTen (double x, int n)
{
    if (n > 300)
        return timesPowerOfTen (x * 1e300, n - 300);

    if (n < -300)
        return timesPowerOfTen (x / 1e300, n + 300);

    // Powers up to 10^22 are exact, so dividing keeps more precision than multiplying by 10^-n.
    return n >= 0 ? x * std::pow (10.0, n) : x / std::pow (10.0, -n);
}

// Halves away from zero; the tiny extra keeps values that print as x.5 from falling to x.
double roundInternal (double k)
{
    return k >= 0.0 ? std::floor (k + 0.500001) : -std::floor (-k + 0.500001);
}

double choiceToValue (const ParameterDescriptor&, long long k)
{
    return (double)k;
}

int choiceToInternal (const ParameterDescriptor&, double value, double& k)
{
    k = roundInternal (value);
    return parameterOk;
}

double linearToValue (const ParameterDescriptor& row, long long k)
{
    auto x = (double)k;

    if (row.kneeFactor > 0.0 && x > row.knee)
        x = row.knee + row.kneeFactor * (x - row.knee);

    return row.scale * x + row.offset;
}

int linearToInternal (const ParameterDescriptor& row, double value, double& k)
{
    if (row.scale == 0.0)
        return parameterMissingArgument;

    auto x = (value - row.offset) / row.scale;

    if (row.kneeFactor > 0.0 && x > row.knee)
        x = (x - row.knee) / row.kneeFactor + row.knee;

    k = roundInternal (x);
    return parameterOk;
}

double logarithmicToValue (const ParameterDescriptor& row, long long k)
{
    return row.offset * std::pow (10.0, row.scale * (double)k);
}

int logarithmicToInternal (const ParameterDescriptor& row, double value, double& k)
{
    if (value < smallestLogarithmArgument)
        return parameterValueTooSmall;

    if (row.offset <= 0.0 || row.scale == 0.0)
        return parameterMissingArgument;

    k = roundInternal (std::log10 (value / row.offset) / row.scale);
    return parameterOk;
}

double frequencyToValue (const ParameterDescriptor&, long long k)
{
    const auto decade = floorDivide (k, 80);
    const auto position = (int)(k - decade * 80);
    const auto exponent = (int)std::clamp (decade - 2, -400LL, 400LL);
    return timesPowerOfTen ((double)preferredFrequencies[position], exponent);
}

int frequencyToInternal (const ParameterDescriptor&, double value, double& k)
{
    if (value < smallestLogarithmArgument)
        return parameterValueTooSmall;

    // Exact logarithmic steps, not the preferred list: every preferred value lies within
    // half a step of its own position, so a shown value reads back to its step.
    k = std::floor (std::log10 (value) * 80.0 + 0.500001);
    return parameterOk;
}

int countRows (const ParameterDescriptor* table)
{
    for (int i = 0; i <= maxTableRows; ++i)
        if (table[i].id < 0)
            return i;

    return 0; // too long: a table without its end is treated as empty
}

const ParameterDescriptor* findRow (const ParameterDescriptor* table, int index, int& result)
{
    if (table == nullptr)
    {
        result = parameterMissingArgument;
        return nullptr;
    }

    if (index < 0 || index >= countRows (table))
    {
        result = parameterNoSuchRow;
        return nullptr;
    }

    result = parameterOk;
    return table + index;
}

// Line `lineIndex` of a "\n"-separated text, without copying; false when there is none.
bool findLine (const char* text, int lineIndex, const char*& start, size_t& length)
{
    if (text == nullptr || lineIndex < 0)
        return false;

    for (int i = 0; i < lineIndex; ++i)
    {
        text = std::strchr (text, '\n');

        if (text == nullptr)
            return false;

        ++text;
    }

    const char* end = std::strchr (text, '\n');
    start = text;
    length = end != nullptr ? (size_t)(end - text) : std::strlen (text);
    return true;
}

// Unit names are "short\nmedium\nlong\f[tag]"; an empty or missing name falls back to the short one.
void findUnitName (const char* names, int selector, const char*& start, size_t& length)
{
    start = "";
    length = 0;

    if (names == nullptr)
        return;

    const char* tag = std::strchr (names, '\f');
    const auto linesLength = tag != nullptr ? (size_t)(tag - names) : std::strlen (names);

    if (selector == 3 && tag != nullptr && tag[1] != 0)
    {
        start = tag + 1;
        length = std::strlen (start);
        return;
    }

    const char* lineStart = names;
    size_t lineLength = 0;

    for (int i = 0;; ++i)
    {
        const auto remaining = linesLength - (size_t)(lineStart - names);
        const auto* newline = (const char*)std::memchr (lineStart, '\n', remaining);
        lineLength = newline != nullptr ? (size_t)(newline - lineStart) : remaining;

        if (i == 0)
        {
            start = lineStart;
            length = lineLength;
        }

        if (i == selector)
        {
            if (lineLength > 0)
            {
                start = lineStart;
                length = lineLength;
            }

            return;
        }

        if (newline == nullptr)
            return;

        lineStart = newline + 1;
    }
}

// Copies the pieces into text when they fit; a text that does not fit is refused, not cut.
int writeText (char* text, int textSize, const char* first, size_t firstLength, const char* second = "",
               size_t secondLength = 0)
{
    if (firstLength + secondLength + 1 > (size_t)textSize)
        return parameterMissingArgument;

    std::memcpy (text, first, firstLength);
    std::memcpy (text + firstLength, second, secondLength);
    text[firstLength + secondLength] = 0;
    return parameterOk;
}

int digitsBeforePoint (double n)
{
    int digits = 1;

    for (double limit = 10.0; n >= limit && digits < 400; limit *= 10.0)
        ++digits;

    return digits;
}

// The number alone, as formatEngineering writes it before the space and prefix. Gives false
// when the number alone would not leave room in a 64-byte text.
bool formatNumber (double value, int flags, bool engineering, char* number, size_t numberSize, char* prefix,
                   size_t prefixSize)
{
    const int digits = flags & parameterDigitsMask;
    const int width = (flags & parameterWidthMask) >> 4;
    const bool significant = (flags & parameterSignificant) != 0;

    prefix[0] = 0;

    const bool negative = std::signbit (value);
    const double magnitude = std::fabs (value);
    double m = 0.0;
    int e = 0;

    if (magnitude > 0.0)
    {
        e = (int)std::floor (std::log10 (magnitude));
        m = timesPowerOfTen (magnitude, -e);

        while (m >= 10.0)
        {
            m /= 10.0;
            ++e;
        }

        while (m < 1.0)
        {
            m *= 10.0;
            --e;
        }

        // Just below ten counts as 0.99999 of the next power, so it rounds to "1.00" there.
        if (m > 9.99999)
        {
            m /= 10.0;
            ++e;
        }
    }

    if (significant && m > 0.0)
    {
        const int kept = std::max (1, digits) - 1;
        m = timesPowerOfTen (std::floor (timesPowerOfTen (m, kept) + 0.5), -kept);

        if (m >= 10.0)
        {
            m /= 10.0;
            ++e;
        }
        else if (m < 1.0)
        {
            m *= 10.0;
            --e;
        }
    }

    double n = magnitude;
    int decimals = digits;

    if (engineering)
    {
        const auto lowered = (int)floorDivide (e, 3) * 3;
        n = timesPowerOfTen (m, e - lowered);
        decimals = digits - digitsBeforePoint (n);

        const auto& table = getSiPrefixTable();
        const auto index = table.emptyIndex + (long long)floorDivide (lowered, 3);

        if (index >= 0 && index < table.numEntries)
            std::snprintf (prefix, prefixSize, "%s", table.entries[index]);
        else
            std::snprintf (prefix, prefixSize, "E%+d", lowered);
    }
    else if (significant)
    {
        n = timesPowerOfTen (m, e);
        // From the exponent rather than the integer digits, so that values below 1 keep
        // their significant digits too.
        decimals = digits - (e + 1);
    }

    decimals = std::max (0, decimals);

    if (decimals > 400)
        return false;

    char body[512];
    const int bodyLength = std::snprintf (body, sizeof (body), "%.*f", decimals, n);

    // Too long for the text; this also keeps room in body for a prefix appended as the point.
    if (bodyLength < 0 || bodyLength >= engineeringTextSize - 2)
        return false;

    // The formatter must not depend on the process locale.
    if (char* comma = std::strchr (body, ','))
        *comma = '.';

    char* point = std::strchr (body, '.');

    if ((flags & parameterPrefixAsPoint) != 0 && std::strlen (prefix) == 1)
    {
        if (point == nullptr)
        {
            point = body + std::strlen (body);
            point[1] = 0;
        }

        *point = prefix[0];
        prefix[0] = 0;
    }

    if ((flags & parameterStripZeros) != 0 && point != nullptr)
    {
        auto length = std::strlen (body);

        while (length > (size_t)(point - body + 1) && body[length - 1] == '0')
            body[--length] = 0;

        if (length == (size_t)(point - body + 1) && *point == '.')
            body[--length] = 0;
    }

    // No "-0.0": a number that prints as zero carries no sign.
    const bool showSign = negative && std::strpbrk (body, "123456789") != nullptr;

    const auto signedLength = std::strlen (body) + (showSign ? 1 : 0);

    // Right-align in the field: spaces in front only as far as the number is shorter than it.
    const auto spaces = (size_t)width > signedLength ? (size_t)width - signedLength : 0;
    const int written =
        std::snprintf (number, numberSize, "%*s%s%s", (int)spaces, "", showSign ? "-" : "", body);
    return written >= 0 && written + 1 < engineeringTextSize;
}
} // namespace

const ValueMapping choiceMapping{ &choiceToValue, &choiceToInternal, true };
const ValueMapping linearMapping{ &linearToValue, &linearToInternal, false };
const ValueMapping logarithmicMapping{ &logarithmicToValue, &logarithmicToInternal, false };
const ValueMapping frequencyMapping{ &frequencyToValue, &frequencyToInternal, false };

const UnitRecord choiceUnit{ "\n\n\f[Enum]", 0 };
const UnitRecord decibelUnit{ "dB\ndB\ndB Gain\f[dBGain]", 0x0010 };
const UnitRecord hertzUnit{ "Hz\nHz\nHertz\f[Hz]", parameterDefaultFormat };
const UnitRecord emptyUnit{ "\n\n\f[Null]", parameterDefaultFormat };

int getParameterMin (const ParameterDescriptor* table, int index, int& step)
{
    int result;

    if (const auto* row = findRow (table, index, result))
        step = row->minStep;

    return result;
}

int getParameterMax (const ParameterDescriptor* table, int index, int& step)
{
    int result;

    if (const auto* row = findRow (table, index, result))
        step = row->maxStep;

    return result;
}

int formatParameterValue (const ParameterDescriptor* table, int index, int step, int unitNameSelector,
                          char* text, int textSize)
{
    if (text == nullptr || textSize <= 0)
        return parameterMissingArgument;

    text[0] = 0;

    int result;
    const auto* row = findRow (table, index, result);

    if (row == nullptr)
        return result;

    if (row->mapping == nullptr || row->unit == nullptr)
        return parameterMissingArgument;

    if (row->mapping->showsChoiceText)
    {
        const char* line;
        size_t length;

        if (!findLine (row->enumText, step, line, length))
            return parameterMissingArgument;

        return writeText (text, textSize, line, length);
    }

    // Unit conversion is not needed by any table, so a row shown in another unit is refused.
    if (row->displayUnit != nullptr && row->displayUnit != row->unit)
        return parameterUnitMismatch;

    int flags = parameterDefaultFormat;

    if ((row->formatFlags & parameterRowFlags) != 0)
        flags = row->formatFlags & ~parameterRowFlags;
    else if (row->unit->formatFlags != 0)
        flags = row->unit->formatFlags;

    const auto k = (long long)row->stepMultiplier * step + row->stepOffset;
    char number[engineeringTextSize];
    formatEngineering (number, row->mapping->toValue (*row, k), flags);

    const char* name = "";
    size_t nameLength = 0;

    if ((flags & parameterNoUnitName) == 0)
        findUnitName (row->unit->names, unitNameSelector, name, nameLength);

    return writeText (text, textSize, number, std::strlen (number), name, nameLength);
}

int parseParameterValue (const ParameterDescriptor* table, int index, double value, int& step)
{
    int result;
    const auto* row = findRow (table, index, result);

    if (row == nullptr)
        return result;

    if (row->mapping == nullptr || row->stepMultiplier == 0 || std::isnan (value))
        return parameterMissingArgument;

    double k = 0.0;
    result = row->mapping->toInternal (*row, value, k);

    if (result != parameterOk)
        return result;

    if (std::isnan (k))
        return parameterMissingArgument;

    // Far values saturate rather than overflow; the caller clamps to the row's range.
    const auto internal = (long long)std::clamp (k, (double)INT_MIN, (double)INT_MAX);
    const auto s = (internal - row->stepOffset) / row->stepMultiplier;
    step = (int)std::clamp (s, (long long)INT_MIN, (long long)INT_MAX);
    return parameterOk;
}

int setSiPrefixes (const char* list)
{
    SiPrefixTable parsed{};

    if (!parseSiPrefixList (list != nullptr ? list : defaultSiPrefixList, parsed))
        return parameterNoSuchRow;

    getSiPrefixTable() = parsed;
    return parameterOk;
}

void resetSiPrefixes()
{
    setSiPrefixes (nullptr);
}

void formatEngineering (char* text, double value, int flags)
{
    if (text == nullptr)
        return;

    const int width = (flags & parameterWidthMask) >> 4;

    if (std::isnan (value) || std::isinf (value))
    {
        const char* word = std::isnan (value) ? "nan" : (value < 0.0 ? "-inf" : "inf");
        std::snprintf (text, engineeringTextSize, "%*s ", width, word);
        return;
    }

    char number[engineeringTextSize] = "";
    char prefix[engineeringTextSize] = "";
    const bool engineering = (flags & parameterEngineering) != 0;

    // A number too long for the text in plain notation is written with an exponent instead of cut.
    if (!formatNumber (value, flags, engineering, number, sizeof (number), prefix, sizeof (prefix)))
        formatNumber (value, flags, true, number, sizeof (number), prefix, sizeof (prefix));

    std::snprintf (text, engineeringTextSize, "%s %s", number, prefix);
}
