#include "document/WellFormedXml.h"

#include <cstring>
#include <limits>
#include <vector>

namespace
{
bool isXmlSpace (juce::juce_wchar c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The same characters the framework's parser takes into tag and attribute names,
// so that both end a name at the same place.
bool isNameChar (juce::juce_wchar c)
{
    if (c < 128)
        return juce::CharacterFunctions::isLetterOrDigit (c) || c == '_' || c == '-' || c == ':' || c == '.';
    return c >= 160 && juce::CharacterFunctions::isLetterOrDigit (c);
}

class XmlChecker
{
public:
    explicit XmlChecker (juce::String::CharPointerType text) : p (text) {}

    bool isWellFormed()
    {
        if (!skipMisc() || *p != '<')
            return false;
        if (!rootElement())
            return false;
        return skipMisc() && p.isEmpty();
    }

private:
    juce::String::CharPointerType p;

    bool startsWith (const char* prefix) const
    {
        return juce::CharacterFunctions::compareUpTo (p, juce::CharPointer_ASCII (prefix),
                                                      (int)std::strlen (prefix)) == 0;
    }

    bool skipPast (const char* terminator)
    {
        const auto index = p.indexOf (juce::CharPointer_ASCII (terminator));
        if (index < 0)
            return false;
        p += index + (int)std::strlen (terminator);
        return true;
    }

    bool skipSpaces()
    {
        bool skipped = false;
        while (isXmlSpace (*p))
        {
            ++p;
            skipped = true;
        }
        return skipped;
    }

    // Whitespace, comments and processing instructions (the declaration among them).
    bool skipMisc()
    {
        for (;;)
        {
            skipSpaces();
            if (startsWith ("<!--"))
            {
                p += 4;
                if (!skipPast ("-->"))
                    return false;
            }
            else if (startsWith ("<?"))
            {
                p += 2;
                if (!skipPast ("?>"))
                    return false;
            }
            else
            {
                return true;
            }
        }
    }

    juce::String readName()
    {
        const auto start = p;
        while (isNameChar (*p))
            ++p;
        return juce::String (start, p);
    }

    // At '&': only the predefined entities and character references that stand
    // for a character.
    bool reference()
    {
        ++p;
        for (auto* name : { "amp;", "lt;", "gt;", "quot;", "apos;" })
            if (startsWith (name))
            {
                p += (int)std::strlen (name);
                return true;
            }

        if (*p != '#')
            return false;
        ++p;

        const bool hex = *p == 'x';
        if (hex)
            ++p;

        juce::uint64 value = 0;
        int digits = 0;
        for (;; ++p)
        {
            const auto digit = hex ? juce::CharacterFunctions::getHexDigitValue (*p)
                                   : (*p >= '0' && *p <= '9' ? (int)(*p - '0') : -1);
            if (digit < 0)
                break;
            // The parser stops reading a reference after these many digits.
            if (++digits > (hex ? 8 : 12))
                return false;
            value = value * (hex ? 16u : 10u) + (juce::uint64)digit;
        }

        if (digits == 0 || *p != ';')
            return false;
        ++p;
        return value >= 1 && value <= 0x10ffff;
    }

    bool attributeValue()
    {
        const auto quote = *p;
        if (quote != '"' && quote != '\'')
            return false;
        ++p;

        for (;;)
        {
            const auto c = *p;
            if (c == 0 || c == '<')
                return false;
            if (c == quote)
            {
                ++p;
                return true;
            }
            if (c == '&')
            {
                if (!reference())
                    return false;
            }
            else
            {
                ++p;
            }
        }
    }

    // After '<' and the name: attributes up to '>' or "/>".
    bool restOfStartTag (bool& selfClosing)
    {
        // A repeated attribute name is not XML; the framework would keep both, and
        // lookups and comparisons would then see only the first.
        juce::StringArray names;

        for (;;)
        {
            const bool spaced = skipSpaces();
            if (startsWith ("/>"))
            {
                p += 2;
                selfClosing = true;
                return true;
            }
            if (*p == '>')
            {
                ++p;
                selfClosing = false;
                return true;
            }
            if (!spaced)
                return false;
            const auto name = readName();
            if (name.isEmpty() || names.contains (name))
                return false;
            names.add (name);
            skipSpaces();
            if (*p != '=')
                return false;
            ++p;
            skipSpaces();
            if (!attributeValue())
                return false;
        }
    }

    // Walks the root element and its content without recursion; open elements are
    // kept on a stack of names.
    bool rootElement()
    {
        std::vector<juce::String> open;

        for (;;)
        {
            const auto c = *p;

            if (c == 0)
                return false;

            if (c == '&')
            {
                if (!reference())
                    return false;
                continue;
            }

            if (c != '<')
            {
                ++p;
                continue;
            }

            if (startsWith ("<!--"))
            {
                p += 4;
                if (!skipPast ("-->"))
                    return false;
            }
            else if (startsWith ("<![CDATA["))
            {
                p += 9;
                if (open.empty() || !skipPast ("]]>"))
                    return false;
            }
            else if (startsWith ("<?"))
            {
                // The parser never returns from a processing instruction followed by
                // text inside an element; the program writes none there.
                return false;
            }
            else if (startsWith ("</"))
            {
                p += 2;
                if (open.empty() || readName() != open.back())
                    return false;
                skipSpaces();
                if (*p != '>')
                    return false;
                ++p;
                open.pop_back();
                if (open.empty())
                    return true;
            }
            else
            {
                ++p;
                auto name = readName();
                bool selfClosing = false;
                if (name.isEmpty() || !restOfStartTag (selfClosing))
                    return false;

                if (selfClosing)
                {
                    if (open.empty())
                        return true;
                }
                else
                {
                    if ((int)open.size() >= maxXmlNestingDepth)
                        return false;
                    open.push_back (std::move (name));
                }
            }
        }
    }
};

// The framework keeps the bytes of a text it takes as UTF-8, overlong forms and surrogates
// included, and its parser and writer then split such a sequence differently: what the program
// writes back would not read again. A document holds characters only.
bool isStrictUtf8 (const char* text, size_t numBytes)
{
    for (size_t i = 0; i < numBytes;)
    {
        const auto lead = (juce::uint8)text[i];

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        size_t extra = 0;
        juce::uint32 codePoint = 0, smallest = 0;

        if ((lead & 0xe0) == 0xc0)
            extra = 1, codePoint = lead & 0x1fu, smallest = 0x80;
        else if ((lead & 0xf0) == 0xe0)
            extra = 2, codePoint = lead & 0x0fu, smallest = 0x800;
        else if ((lead & 0xf8) == 0xf0)
            extra = 3, codePoint = lead & 0x07u, smallest = 0x10000;
        else
            return false;

        if (numBytes - i <= extra)
            return false;

        for (size_t k = 1; k <= extra; ++k)
        {
            const auto next = (juce::uint8)text[i + k];
            if ((next & 0xc0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3fu);
        }

        if (codePoint < smallest || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff))
            return false;

        i += extra + 1;
    }

    return true;
}
} // namespace

bool isWellFormedXmlDocument (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    return isStrictUtf8 (bytes, std::strlen (bytes)) && XmlChecker (text.getCharPointer()).isWellFormed();
}

std::unique_ptr<juce::XmlElement> parseWellFormedXml (const void* utf8, size_t numBytes)
{
    const auto* bytes = static_cast<const char*> (utf8);
    if (numBytes == 0 || numBytes > (size_t)std::numeric_limits<int>::max() ||
        std::memchr (bytes, 0, numBytes) != nullptr || !isStrictUtf8 (bytes, numBytes))
        return nullptr;

    const auto text = juce::String::fromUTF8 (bytes, (int)numBytes);
    if (!XmlChecker (text.getCharPointer()).isWellFormed())
        return nullptr;

    juce::XmlDocument parser (text);
    std::unique_ptr<juce::XmlElement> document (parser.getDocumentElement());
    if (parser.getLastParseError().isNotEmpty())
        return nullptr;
    return document;
}
