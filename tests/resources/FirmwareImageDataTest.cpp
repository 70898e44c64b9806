#include <gtest/gtest.h>
#include "resources/FirmwareImageData.h"

#include <cstring>
#include <vector>

namespace
{
struct ImageRow
{
    const char* name;
    int modelId;
    int dataMessages;
    int size;
};

const ImageRow images[] = {
    { "Zelta240_2M", 119, 479, 286939 }, { "Zelta120_2M", 4, 479, 286939 }, { "Zelta240_2", 5, 479, 286939 },
    { "Zelta120_2", 6, 479, 286939 },    { "Zelta240_1", 18, 484, 289934 }, { "Zelta120_1", 19, 484, 289934 },
    { "Zelta60_1", 30, 484, 289934 },    { "Zelta60_2", 31, 480, 287538 },  { "Zelta60_2M", 32, 480, 287538 },
};

// The image split at every F7.
std::vector<std::vector<unsigned char>> messagesOf (const FirmwareImageData& image)
{
    std::vector<std::vector<unsigned char>> messages;
    std::vector<unsigned char> current;
    for (int i = 0; i < image.size; ++i)
    {
        current.push_back (image.data[i]);
        if (image.data[i] == 0xf7)
        {
            messages.push_back (current);
            current.clear();
        }
    }
    if (!current.empty())
        messages.push_back (current);
    return messages;
}
} // namespace

TEST (FirmwareImageData, NineImagesWithTheMessageStructureOfTheirModel)
{
    for (auto& row : images)
    {
        SCOPED_TRACE (row.name);
        const auto image = getFirmwareImageData (row.name);
        ASSERT_NE (image.data, nullptr);
        ASSERT_EQ (image.size, row.size);
        ASSERT_EQ (image.size, row.dataMessages * 599 + 18);

        const auto messages = messagesOf (image);
        ASSERT_EQ ((int)messages.size(), row.dataMessages + 2);

        const unsigned char header[] = { 0xf0, 0x00, 0x3a, 0x5c, 0x00, (unsigned char)row.modelId };
        for (size_t m = 0; m < messages.size(); ++m)
        {
            const auto& message = messages[m];
            const bool first = m == 0, last = m + 1 == messages.size();
            ASSERT_EQ (message.size(), first || last ? 9u : 599u) << "message " << m;
            EXPECT_EQ (std::memcmp (message.data(), header, sizeof (header)), 0) << "message " << m;
            EXPECT_EQ (message[6], first ? 0x51 : 0x52);
            EXPECT_EQ (message[7], first || last ? 0x01 : 0x00);
            EXPECT_EQ (message.back(), 0xf7);
            for (size_t i = 1; i + 1 < message.size(); ++i)
                if (message[i] >= 0x80)
                    FAIL() << "byte " << i << " of message " << m << " is " << (int)message[i];
        }
    }
}

TEST (FirmwareImageData, ImagesDifferAndUnknownNamesGiveNothing)
{
    // Each image has its own data, so a mix-up between models shows.
    const auto a = getFirmwareImageData ("Zelta240_2M");
    const auto b = getFirmwareImageData ("Zelta120_2M");
    ASSERT_EQ (a.size, b.size);
    EXPECT_NE (std::memcmp (a.data + 30, b.data + 30, 500), 0);

    for (const char* name : { "", "Zelta240", "zelta240_2m", "Zelta240_2M " })
    {
        const auto none = getFirmwareImageData (name);
        EXPECT_EQ (none.data, nullptr) << name;
        EXPECT_EQ (none.size, 0) << name;
    }
    EXPECT_EQ (getFirmwareImageData (nullptr).data, nullptr);
}
