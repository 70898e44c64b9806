#include <gtest/gtest.h>
#include "document/PresetLibrary.h"

namespace
{
const char deviceA[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Device name=\"A\"/>";
const char deviceB[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Device name=\"B\"/>";
const char preset[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CORVADINE Name=\"P\"/>";
const char broken[] = "not xml at all";

const EmbeddedDocument smallTable[] = {
    { deviceA, (int) sizeof (deviceA) - 1, 1 },
    { preset, (int) sizeof (preset) - 1, 4 },
    { deviceB, (int) sizeof (deviceB) - 1, 1 },
    { broken, (int) sizeof (broken) - 1, 4 },
    { preset, (int) sizeof (preset) - 1, 12 },
    { nullptr, 0, -1 },
};
} // namespace

TEST (PresetLibrary, ServesListsAndTemplatesByCategory)
{
    PresetLibrary library (smallTable);

    EXPECT_EQ (library.getList (1), nullptr);
    EXPECT_EQ (library.getList (10), nullptr);
    EXPECT_EQ (library.getList (255), nullptr);
    ASSERT_NE (library.getList (4), nullptr);
    EXPECT_EQ (library.getList (4)->size(), 1);
    EXPECT_EQ (library.getList (0)->size(), 0);

    ASSERT_NE (library.getElement (0), nullptr);
    EXPECT_EQ (library.getElement (0)->getStringAttribute ("name"), "A");
    EXPECT_EQ (library.getElement (1)->getStringAttribute ("name"), "B");
    EXPECT_EQ (library.getElement (2), nullptr);
    EXPECT_EQ (library.getElement (-1), nullptr);

    // A text that does not parse and a row of an unknown category are counted, not kept.
    EXPECT_EQ (library.getNumUnparsedDocuments(), 2);
}
