#pragma once

// One embedded XML document of the preset library: its UTF-8 text, the text's
// length in bytes and its category (0 to 9). The table ends with a row whose
// text is null (length 0, category -1).
struct EmbeddedDocument
{
    const char* text;
    int length;
    int category;
};

// The 112 embedded documents in their fixed order, ended by the null row.
const EmbeddedDocument* getEmbeddedDocumentTable();
