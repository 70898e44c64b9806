#pragma once

#include <cstddef>

// JUCE's XML parser recurses once per nesting level, so a few hundred bytes of hostile text can
// overflow the stack. This walks the text without recursion, the way that parser reads it, and
// says whether its root element closes within maxDepth levels. Anything that would let the two
// readings part (a DTD, a malformed tag, an entity other than the predefined and numeric ones)
// fails the check too: text this program writes never holds such things.
bool isXmlNestedWithin (const char* text, size_t length, int maxDepth);
