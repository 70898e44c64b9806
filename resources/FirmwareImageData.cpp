#include "resources/FirmwareImageData.h"

// Replaced by the generated images once they are built.
FirmwareImageData getFirmwareImageData (const char*)
{
    return { nullptr, 0 };
}
