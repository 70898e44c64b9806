#include "resources/FirmwareImageData.h"
#include "resources/EmbeddedTables.h"

#include <cstring>

FirmwareImageData getFirmwareImageData (const char* imageName)
{
    if (imageName == nullptr)
        return { nullptr, 0 };

    for (auto* row = getFirmwareImageTable(); row->name != nullptr; ++row)
        if (std::strcmp (row->name, imageName) == 0)
            return { row->data, row->size };

    return { nullptr, 0 };
}
