#pragma once

// The bytes of one embedded firmware image: complete SysEx messages back to back.
struct FirmwareImageData
{
    const unsigned char* data; // static program data, never freed
    int size;
};

// The image of the given image name ("Zelta240_2M" ...); {nullptr, 0} when unknown.
FirmwareImageData getFirmwareImageData (const char* imageName);
