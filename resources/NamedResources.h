#pragma once

// One named block of embedded bytes; tables of them end with a row whose name is null.
struct NamedResource
{
    const char* name;
    const unsigned char* data; // static program data, never freed
    int size;
};

// The embedded pictures by name ("vellLogo_png", "vellIcon_png"): the first
// byte and, in dataSizeInBytes, the length; null and 0 for a null, empty or
// unknown name.
const char* getNamedResource (const char* resourceNameUTF8, int& dataSizeInBytes);

// The lookup behind getNamedResource, over any table: a row is chosen by the
// 32-bit hash of its name (h = 31 * h + c over the name's bytes taken as
// signed chars) and then by the name itself, so that two names sharing a
// hash cannot hand out each other's bytes.
const char* findNamedResource (const NamedResource* table, const char* resourceNameUTF8,
                               int& dataSizeInBytes);

// The hash of a resource name as above.
unsigned int hashResourceName (const char* resourceNameUTF8);
