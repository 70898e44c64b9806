#pragma once

// Maps the amplifier's integer parameter steps to values and display texts
// and back. Procedural on purpose: rows are plain data, results are integer
// codes (0 success, negative failure). The SI prefix table behind the number
// formatter is static state: call everything here from the message thread.

struct ParameterDescriptor;

// How a row's internal value k becomes a value and back. Defined in the
// library's source; rows only point at one of the four below.
struct ValueMapping;

extern const ValueMapping choiceMapping;      // the value is the step, shown as a line of the enum text
extern const ValueMapping linearMapping;      // value = scale * k' + offset, with an optional knee
extern const ValueMapping logarithmicMapping; // value = offset * 10^(scale * k)
extern const ValueMapping frequencyMapping;   // 80 preferred values per decade, k = 80 * log10 (Hz)

// A unit: "short\nmedium\nlong\f[tag]" and the number format flags used for
// values shown in it (0: the library's default).
struct UnitRecord
{
    const char* names;
    int formatFlags;
};

extern const UnitRecord choiceUnit;
extern const UnitRecord decibelUnit;
extern const UnitRecord hertzUnit;
extern const UnitRecord emptyUnit;

// One row of a parameter table; a row with a negative id ends the table.
// Internal value k = stepMultiplier * step + stepOffset.
struct ParameterDescriptor
{
    const char* name;
    int id;
    int minStep, maxStep;
    int stepMultiplier, stepOffset;
    const ValueMapping* mapping;
    const UnitRecord* unit;
    const UnitRecord* displayUnit;
    const char* enumText; // choice rows: one name per line, line i for step i
    double scale, offset;
    double knee, kneeFactor; // above the knee k' = knee + kneeFactor * (k - knee); factor 0: no knee
    int formatFlags;         // used only when parameterRowFlags is set
};

enum ParameterResultCode
{
    parameterOk = 0,
    parameterNoSuchRow = -1,       // index outside the table, or a malformed SI prefix list
    parameterMissingArgument = -2, // null pointer, malformed row, a value that is not a number,
                                   // a choice without text, or a text that does not fit the buffer
    parameterUnitMismatch = -6,    // a row shown in a unit other than its own
    parameterValueTooSmall = -101  // below 1e-20 where a logarithm is needed
};

// Number format flags of formatEngineering.
enum ParameterFormatFlags
{
    parameterDigitsMask = 0x000f,    // digit count p
    parameterWidthMask = 0x00f0,     // field width w (0: none)
    parameterSignificant = 0x0100,   // p significant digits instead of p decimals
    parameterStripZeros = 0x0200,    // drop trailing zeros after the point
    parameterPrefixAsPoint = 0x0400, // a one-character SI prefix replaces the decimal point
    parameterEngineering = 0x0800,   // exponent a multiple of 3, shown as an SI prefix
    parameterNoUnitName = 0x4000,    // formatParameterValue leaves out the unit name
    parameterRowFlags = 0x8000,      // a row's flags apply (when shown in the row's own unit)
    parameterDefaultFormat = 0x0913  // three significant digits, width 1, engineering
};

// The sixteen rows of the EQ: type, gain, frequency and width of bands 1 to 4,
// followed by the ending row.
const ParameterDescriptor* getEqBandTable();

// 0 and the row's smallest / largest step; -1 when there is no such row.
int getParameterMin (const ParameterDescriptor* table, int index, int& step);
int getParameterMax (const ParameterDescriptor* table, int index, int& step);

// Writes the display text of a step ("0.0 dB", "1.60 kHz", "Band"). The unit
// name selector picks the short (0), medium (1) or long (2) name or the tag
// (3). The buffer is emptied first and stays empty when the result is negative.
int formatParameterValue (const ParameterDescriptor* table, int index, int step, int unitNameSelector,
                          char* text, int textSize);

// Converts a value in the row's unit (dB, Hz) to a step. The step is not
// clamped to the row's range; on failure it is left unwritten.
int parseParameterValue (const ParameterDescriptor* table, int index, double value, int& step);

// The SI prefixes of formatEngineering, ";"-separated, "@" marking the empty
// one; null restores the default "a;f;p;n;u;m;@;k;M;G;T;>". A list of more
// than 12 entries or 63 characters, or without exactly one "@", gives -1 and
// leaves the table as it was.
int setSiPrefixes (const char* list);
void resetSiPrefixes();

// Formats a number by the flags above into a buffer of at least 64 bytes:
// the number, one space, then the SI prefix.
void formatEngineering (char* text, double value, int flags);
