#include "link/XmlNestingCheck.h"
#include <cstring>
#include <initializer_list>

namespace
{
class Scanner
{
public:
    Scanner (const char* text, size_t length) : position (text), end (text + length) {}

    bool atEnd() const { return position >= end; }
    char peek() const { return atEnd() ? '\0' : *position; }
    void advance (size_t count = 1) { position += count; }

    bool startsWith (const char* prefix) const
    {
        const auto length = std::strlen (prefix);
        return (size_t)(end - position) >= length && std::memcmp (position, prefix, length) == 0;
    }

    // Moves past the next occurrence of the marker; false when there is none.
    bool skipPast (const char* marker)
    {
        const auto length = std::strlen (marker);
        for (auto* p = position; (size_t)(end - p) >= length; ++p)
        {
            if (std::memcmp (p, marker, length) == 0)
            {
                position = p + length;
                return true;
            }
        }
        return false;
    }

    bool skipSpace()
    {
        const auto* start = position;
        while (!atEnd() && (*position == ' ' || *position == '\t' || *position == '\n' || *position == '\r'))
            ++position;
        return position != start;
    }

    // A tag or attribute name of ASCII characters that the parser also takes as name characters.
    bool readName()
    {
        const auto* start = position;
        while (!atEnd() && isNameChar (*position))
            ++position;
        return position != start;
    }

    // One of the five predefined entities or a numeric one, ended by ';'. The parser runs other
    // forms on to the next ';' wherever it is, past quotes and tags.
    bool readEntity()
    {
        advance(); // '&'
        for (const char* named : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        {
            if (startsWith (named))
            {
                advance (std::strlen (named));
                return true;
            }
        }

        if (peek() != '#')
            return false;
        advance();

        const bool hex = peek() == 'x' || peek() == 'X';
        if (hex)
            advance();

        int digits = 0;
        while (!atEnd() && (hex ? isHexDigit (*position) : isDigit (*position)))
        {
            ++digits;
            ++position;
        }

        if (digits == 0 || digits > (hex ? 8 : 12) || peek() != ';')
            return false;
        advance();
        return true;
    }

    // A quoted attribute value, quotes included.
    bool readQuoted()
    {
        const char quote = peek();
        if (quote != '"' && quote != '\'')
            return false;
        advance();

        while (!atEnd() && *position != quote)
        {
            if (*position == '&')
            {
                if (!readEntity())
                    return false;
            }
            else
            {
                ++position;
            }
        }

        if (atEnd())
            return false;
        advance();
        return true;
    }

private:
    static bool isDigit (char c) { return c >= '0' && c <= '9'; }
    static bool isHexDigit (char c)
    {
        return isDigit (c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static bool isNameChar (char c)
    {
        return isDigit (c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-' ||
               c == ':' || c == '.';
    }

    const char* position;
    const char* end;
};

enum class Tag
{
    malformed,
    opened,
    closedAtOnce
};

// After the '<': name, attributes, then '>' or '/>'.
Tag readStartTag (Scanner& scanner)
{
    if (!scanner.readName())
        return Tag::malformed;

    for (;;)
    {
        const bool spaced = scanner.skipSpace();
        if (scanner.startsWith ("/>"))
        {
            scanner.advance (2);
            return Tag::closedAtOnce;
        }
        if (scanner.peek() == '>')
        {
            scanner.advance();
            return Tag::opened;
        }

        if (!spaced || !scanner.readName())
            return Tag::malformed;
        scanner.skipSpace();
        if (scanner.peek() != '=')
            return Tag::malformed;
        scanner.advance();
        scanner.skipSpace();
        if (!scanner.readQuoted())
            return Tag::malformed;
    }
}
} // namespace

bool isXmlNestedWithin (const char* text, size_t length, int maxDepth)
{
    Scanner scanner (text, length);
    int depth = 0;

    while (!scanner.atEnd())
    {
        const char c = scanner.peek();
        if (c == '&')
        {
            if (!scanner.readEntity())
                return false;
            continue;
        }
        if (c != '<')
        {
            scanner.advance();
            continue;
        }

        if (scanner.startsWith ("<!--"))
        {
            scanner.advance (4);
            if (!scanner.skipPast ("-->"))
                return false;
        }
        else if (scanner.startsWith ("<?"))
        {
            scanner.advance (2);
            if (!scanner.skipPast ("?>"))
                return false;
        }
        else if (scanner.startsWith ("<![CDATA["))
        {
            scanner.advance (9);
            if (!scanner.skipPast ("]]>"))
                return false;
        }
        else if (scanner.startsWith ("</"))
        {
            // The parser does not compare the name: any close tag ends the innermost element.
            if (!scanner.skipPast (">") || --depth < 0)
                return false;
            if (depth == 0)
                return true; // the root is complete; the parser reads no further
        }
        else
        {
            scanner.advance();
            switch (readStartTag (scanner))
            {
                case Tag::malformed:
                    return false;
                case Tag::closedAtOnce:
                    if (depth == 0)
                        return true;
                    break;
                case Tag::opened:
                    if (++depth > maxDepth)
                        return false;
                    break;
            }
        }
    }

    return false; // the root never closed
}
