#include "document/ParameterLibrary.h"

// The EQ's four bands as rows of a parameter table; the steps are what the
// amplifier stores as StepValue.
namespace
{
// Filter types, step 0 to 12.
const char filterTypeNames[] = "LoCut12\nLoCut6\nLoShelve12\nLoShelve9\nLoShelve6\nLoShelve3\nBand\n"
                               "HiShelve3\nHiShelve6\nHiShelve9\nHiShelve12\nHiCut6\nHiCut12";

// One decimal, field width 1, in the row's own unit.
constexpr int oneDecimal = parameterRowFlags | 0x0011;

constexpr ParameterDescriptor typeRow (const char* name, int id)
{
    return { name, id,  0,   12,  1, 0, &choiceMapping, &choiceUnit, &choiceUnit, filterTypeNames,
             0.0,  0.0, 0.0, 0.0, 0 };
}

// -24.0 to +24.0 dB in 0.1 dB.
constexpr ParameterDescriptor gainRow (const char* name, int id)
{
    return { name,         id,      0,   480,   1,   0,   &linearMapping, &decibelUnit,
             &decibelUnit, nullptr, 0.1, -24.0, 0.0, 0.0, oneDecimal };
}

// 20 Hz to 20 kHz, 20 steps per decade: k = 4 * step + 104 on the 80-per-decade grid.
constexpr ParameterDescriptor frequencyRow (const char* name, int id)
{
    return { name,    id,  0,   60,  4,   104, &frequencyMapping, &hertzUnit, &hertzUnit,
             nullptr, 0.0, 0.0, 0.0, 0.0, 0 };
}

// 0.1 to 6.0, no unit.
constexpr ParameterDescriptor widthRow (const char* name, int id)
{
    return { name,       id,      0,   59,  1,   0,   &linearMapping, &emptyUnit,
             &emptyUnit, nullptr, 0.1, 0.1, 0.0, 0.0, oneDecimal };
}

const ParameterDescriptor eqBandTable[] = {
    typeRow ("1: Type", 0),
    gainRow ("1: Gain", 1),
    frequencyRow ("1: Freq", 2),
    widthRow ("1: Width", 3),
    typeRow ("2: Type", 4),
    gainRow ("2: Gain", 5),
    frequencyRow ("2: Freq", 6),
    widthRow ("2: Width", 7),
    typeRow ("3: Type", 8),
    gainRow ("3: Gain", 9),
    frequencyRow ("3: Freq", 10),
    widthRow ("3: Width", 11),
    typeRow ("4: Type", 12),
    gainRow ("4: Gain", 13),
    frequencyRow ("4: Freq", 14),
    widthRow ("4: Width", 15),
    { "", -1, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0, 0 },
};
} // namespace

const ParameterDescriptor* getEqBandTable()
{
    return eqBandTable;
}
