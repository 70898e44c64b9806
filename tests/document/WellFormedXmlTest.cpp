#include <gtest/gtest.h>
#include "document/WellFormedXml.h"

namespace
{
juce::String nested (int depth)
{
    juce::String text;
    for (int i = 0; i < depth; ++i)
        text << "<e" << i << ">";
    for (int i = depth; --i >= 0;)
        text << "</e" << i << ">";
    return text;
}
} // namespace

TEST (WellFormedXml, AcceptsCompleteDocuments)
{
    for (auto* text : {
             "<A/>",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A x=\"1\" y='2'>text</A>\n",
             "<!-- before --><?pi x?><A><!-- inside --><![CDATA[<not a tag>]]></A><!-- after --><?pi?>\n",
             "<A v=\"&amp;&lt;&gt;&quot;&apos;&#10;&#x20AC;&#1114111;\">a &amp; b</A>",
             "<ns:A-b.c_d\n\tk = \"v\" ><B></B ></ns:A-b.c_d>",
             "<A x=\"a > b\">]]</A>",
             "<A x=\"1\" X=\"2\"><B x=\"3\"/></A>", // names are case-sensitive and per element
         })
        EXPECT_TRUE (isWellFormedXmlDocument (text)) << text;

    // Letters beyond ASCII stand as they are in texts and values.
    EXPECT_TRUE (isWellFormedXmlDocument (juce::String::fromUTF8 ("<A n=\"\xc3\xa4\xe2\x82\xac\">Stra\xc3\x9f"
                                                                  "e</A>")));
}

TEST (WellFormedXml, RejectsWhatTheLenientParserWouldTake)
{
    for (auto* text : {
             "",
             "   ",
             "text",
             "<CORVADINE",            // the parser gives an element without an error
             "<CORVADINE Name=\"x\"", // cut inside the root's start tag
             "<A><B></B></",          // cut inside the last end tag
             "<A><B></B></A",         //
             "<A><B></B>",            //
             "<A></B>",               // end tag of another element
             "<A x=5><B/></A>",       // unquoted value: the parser drops the children
             "<A x></A>",             //
             "<A x=\"1\"y=\"2\"/>",   // attributes must be separated
             "<A x=\"a<b\"/>",        //
             "<A x=\"1/>",            // unterminated value
             "<A x=\"1\" y=\"2\" x=\"3\"/>", // a repeated attribute
             "<A>&unknown;</A>",      // no entities beyond the predefined ones
             "<A>&#0;</A>",           //
             "<A>&#x110000;</A>",     //
             "<A>&#;</A>",            //
             "<A>&#12a;</A>",         //
             "<A>a & b</A>",          //
             "<A>&AMP;</A>",          //
             "<A x=\"&q\">\"></A>",   //
             "<!DOCTYPE A [<!ENTITY e \"x\">]><A>&e;</A>",
             "<A/><B/>",                  // one root only
             "<A/>trailing",              //
             "x<A/>",                     //
             "<A><!-- open</A>",          //
             "<A><![CDATA[open</A>",      //
             "<?xml version=\"1.0\"<A/>", //
             "< A/>",                     //
             "<A><!bad></A>",             //
             "<A><?pi?>text</A>",         // the parser would never return
         })
        EXPECT_FALSE (isWellFormedXmlDocument (text)) << text;
}

TEST (WellFormedXml, NestingIsBounded)
{
    EXPECT_TRUE (isWellFormedXmlDocument (nested (maxXmlNestingDepth)));
    EXPECT_FALSE (isWellFormedXmlDocument (nested (maxXmlNestingDepth + 1)));
    // Self-closing elements add no depth, however many there are.
    juce::String wide ("<A>");
    for (int i = 0; i < 5000; ++i)
        wide << "<P Id=\"" << i << "\"/>";
    wide << "</A>";
    EXPECT_TRUE (isWellFormedXmlDocument (wide));
}
