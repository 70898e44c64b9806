#pragma once

#include <juce_core/juce_core.h>
#include <memory>

// The framework's XML parser is lenient: it returns a root for a text cut inside
// its last tags, drops the rest of an element after an unquoted attribute value,
// expands entities from a doctype and recurses once per nesting level. Texts from
// outside (saved files) are checked with this first, so that whatever passes is
// parsed exactly as written.

// Deeper than any application or settings document; keeps the parser's recursion short.
constexpr int maxXmlNestingDepth = 100;

// True when the text is one complete, well-formed XML document: an optional
// declaration, comments and processing instructions around exactly one root
// element (inside it comments and CDATA, but no processing instructions), matching end tags, quoted attribute
// values, only the predefined and numeric character references, no doctype and no nesting deeper than
// maxXmlNestingDepth. Its characters are strictly encoded: no overlong forms, no surrogates.
bool isWellFormedXmlDocument (const juce::String& text);

// The document of UTF-8 bytes from outside (an amplifier's payload, a service's answer), or null
// unless they are strictly encoded, hold no NUL and form a document that passes
// isWellFormedXmlDocument. The framework's parser reads past the end of a text it has not been
// given in that shape.
std::unique_ptr<juce::XmlElement> parseWellFormedXml (const void* utf8, size_t numBytes);
