#include "resources/EmbeddedDocuments.h"

// Replaced by the generated table once the documents are authored.
const EmbeddedDocument* getEmbeddedDocumentTable()
{
    static const EmbeddedDocument table[] = { { nullptr, 0, -1 } };
    return table;
}
