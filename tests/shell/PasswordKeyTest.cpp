#include <gtest/gtest.h>

#include "shell/PasswordKey.h"

// Keys worked out by hand from the hash's definition; amplifiers in the field hold keys made so.
TEST (PasswordKeyTest, MatchesTheKeysAmplifiersHold)
{
    EXPECT_EQ (makePasswordKey ("", 0), "84696351");
    EXPECT_EQ (makePasswordKey ("secret", 0x12345), "3337908786");
    // Ten bytes and more: only every second byte takes part.
    EXPECT_EQ (makePasswordKey ("0123456789", 7), "423974634");
    EXPECT_EQ (makePasswordKey (juce::String (juce::CharPointer_UTF8 ("gr\xc3\xbc\xc3\x9f"
                                                                      "e")),
                                0x80),
               "4189767466")
        << "bytes from 0x80 up count with their sign";
    EXPECT_EQ (makePasswordKey (juce::String::repeatedString ("a", 25), 0x1ff), "3354682086");
}

TEST (PasswordKeyTest, OnlyTheLowByteOfTheSerialNumberSaltsTheKey)
{
    EXPECT_NE (makePasswordKey ("secret", 0x12345), makePasswordKey ("secret", 0x12346));
    EXPECT_EQ (makePasswordKey ("secret", 0x12345), makePasswordKey ("secret", 0x99945));
}
