#pragma once

#include "resources/NamedResources.h"

// Tables written at build time from the committed pictures and the firmware
// generator; each ends with a row whose name is null.

// The nine stand-in firmware images by image name ("Zelta240_2M" ...).
const NamedResource* getFirmwareImageTable();

// The pictures by resource name, icon first, then logo.
const NamedResource* getNamedResourceTable();
