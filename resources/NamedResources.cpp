#include "resources/NamedResources.h"
#include "resources/EmbeddedTables.h"

#include <cstring>

unsigned int hashResourceName (const char* resourceNameUTF8)
{
    unsigned int hash = 0;
    for (const char* p = resourceNameUTF8; *p != 0; ++p)
        hash = 31u * hash + (unsigned int)(int)(signed char)*p;
    return hash;
}

const char* findNamedResource (const NamedResource* table, const char* resourceNameUTF8, int& dataSizeInBytes)
{
    dataSizeInBytes = 0;
    if (table == nullptr || resourceNameUTF8 == nullptr || *resourceNameUTF8 == 0)
        return nullptr;

    const auto hash = hashResourceName (resourceNameUTF8);
    for (auto* row = table; row->name != nullptr; ++row)
    {
        // The hash is the quick test; the name decides.
        if (hashResourceName (row->name) == hash && std::strcmp (row->name, resourceNameUTF8) == 0)
        {
            dataSizeInBytes = row->size;
            return reinterpret_cast<const char*> (row->data);
        }
    }
    return nullptr;
}

const char* getNamedResource (const char* resourceNameUTF8, int& dataSizeInBytes)
{
    return findNamedResource (getNamedResourceTable(), resourceNameUTF8, dataSizeInBytes);
}
