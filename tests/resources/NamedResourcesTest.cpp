#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>
#include "resources/NamedResources.h"

#include <cstring>

TEST (NamedResources, PicturesLoadAtTheirSizes)
{
    juce::ScopedJuceInitialiser_GUI gui;
    const struct
    {
        const char* name;
        int bytes, width, height;
    } pictures[] = { { "vellLogo_png", 123022, 420, 73 }, { "vellIcon_png", 106062, 164, 161 } };

    for (auto& picture : pictures)
    {
        int size = -1;
        const char* data = getNamedResource (picture.name, size);
        ASSERT_NE (data, nullptr) << picture.name;
        EXPECT_EQ (size, picture.bytes);
        EXPECT_EQ (std::memcmp (data, "\x89PNG\r\n\x1a\n", 8), 0);

        const auto image = juce::ImageFileFormat::loadFrom (data, (size_t)size);
        ASSERT_TRUE (image.isValid()) << picture.name;
        EXPECT_EQ (image.getWidth(), picture.width);
        EXPECT_EQ (image.getHeight(), picture.height);
        // Not an empty canvas: the corner is see-through, the middle is drawn.
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);
        EXPECT_GT (image.getPixelAt (picture.width / 8, picture.height / 2).getAlpha(), 0);
    }
}

TEST (NamedResources, UnknownEmptyAndNullNamesGiveNothing)
{
    for (const char* name : { "vellLogo", "vellLogo_png ", "VELLLOGO_PNG", "", (const char*)nullptr })
    {
        int size = 99;
        EXPECT_EQ (getNamedResource (name, size), nullptr) << (name != nullptr ? name : "null");
        EXPECT_EQ (size, 0);
    }
}

TEST (NamedResources, HashWidensSignedBytes)
{
    EXPECT_EQ (hashResourceName (""), 0u);
    EXPECT_EQ (hashResourceName ("a"), 97u);
    EXPECT_EQ (hashResourceName ("ab"), 97u * 31u + 98u);
    // A byte above 0x7f counts as a negative value.
    EXPECT_EQ (hashResourceName ("\xe9"), (unsigned int)-23);
    EXPECT_EQ (hashResourceName ("a\xe9"), 97u * 31u - 23u);
}

TEST (NamedResources, NamesSharingAHashKeepTheirOwnData)
{
    // "Aa" and "BB" hash alike (65 * 31 + 97 = 66 * 31 + 66).
    ASSERT_EQ (hashResourceName ("Aa"), hashResourceName ("BB"));
    const unsigned char first[] = { 1, 2, 3 };
    const unsigned char second[] = { 4, 5 };
    const NamedResource table[] = { { "Aa", first, 3 }, { "BB", second, 2 }, { nullptr, nullptr, 0 } };

    int size = 0;
    EXPECT_EQ (findNamedResource (table, "BB", size), (const char*)second);
    EXPECT_EQ (size, 2);
    EXPECT_EQ (findNamedResource (table, "Aa", size), (const char*)first);
    EXPECT_EQ (size, 3);

    // A third name of the same hash that is in no row finds nothing.
    ASSERT_EQ (hashResourceName ("C#"), hashResourceName ("Aa"));
    EXPECT_EQ (findNamedResource (table, "C#", size), nullptr);
    EXPECT_EQ (size, 0);
    EXPECT_EQ (findNamedResource (nullptr, "Aa", size), nullptr);
}
