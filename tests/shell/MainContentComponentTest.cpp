#include "tests/shell/MainContentTestSupport.h"

#include "testing/emulator/AmplifierEmulator.h"
#include "tests/shell/DiagramTestSupport.h"

using namespace maintest;

namespace
{
class MainContentComponentTest : public MainContentTest
{
protected:
    juce::Image paintContent()
    {
        juce::Image image (juce::Image::ARGB, content->getWidth(), content->getHeight(), true);
        juce::Graphics g (image);
        content->paintEntireComponent (g, true);
        return image;
    }

    juce::Image paintRow (int row, bool selected)
    {
        juce::Image image (juce::Image::ARGB, 256, MainContentComponent::rowHeight, true);
        juce::Graphics g (image);
        g.fillAll (juce::Colours::white);
        content->paintListBoxItem (row, g, image.getWidth(), image.getHeight(), selected);
        return image;
    }

    static int countPixels (const juce::Image& image, juce::Rectangle<int> area,
                            std::function<bool (juce::Colour)> matches)
    {
        int count = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                count += matches (image.getPixelAt (x, y)) ? 1 : 0;

        return count;
    }

    static bool near (juce::Colour a, juce::Colour b, int tolerance = 6)
    {
        return std::abs (a.getRed() - b.getRed()) <= tolerance &&
               std::abs (a.getGreen() - b.getGreen()) <= tolerance &&
               std::abs (a.getBlue() - b.getBlue()) <= tolerance;
    }

    // The Device elements of the working copy.
    int countDevices() const
    {
        int n = 0;
        for (auto* device : content->getWorkingCopy()->getChildWithTagNameIterator ("Device"))
            n += device != nullptr ? 1 : 0;
        return n;
    }

    static void click (juce::Button& button)
    {
        button.triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
};

juce::KeyPress key (int code, int modifiers = 0)
{
    return juce::KeyPress (code, juce::ModifierKeys (modifiers), 0);
}

constexpr int ctrl = juce::ModifierKeys::ctrlModifier;
constexpr int shift = juce::ModifierKeys::shiftModifier;
constexpr int alt = juce::ModifierKeys::altModifier;
} // namespace

TEST_F (MainContentComponentTest, LaysOutTheMinimumWindow)
{
    make();
    ASSERT_EQ (content->getBounds(), juce::Rectangle<int> (0, 0, 1024, 600));
    EXPECT_EQ (content->getVersionStatus(), VersionCheck::noAnswer);

    EXPECT_EQ (content->getListBox().getBounds(), juce::Rectangle<int> (0, 0, 256, 540));
    EXPECT_EQ (content->getListBox().getRowHeight(), 46);
    EXPECT_EQ (content->getBottomStrip(), juce::Rectangle<int> (0, 540, 1024, 60));

    // The viewport is exactly as wide as the diagram and a scroll bar.
    const auto viewport = content->getViewport().getBounds();
    EXPECT_EQ (viewport.getX(), 257);
    EXPECT_EQ (viewport.getHeight(), 540);
    EXPECT_EQ (viewport.getWidth(),
               content->getDiagram()->getWidth() + content->getViewport().getScrollBarThickness());

    EXPECT_EQ (content->getTabSelectorArea(), juce::Rectangle<int> (viewport.getRight() + 1, 0, 340, 155));
    EXPECT_EQ (content->getPageArea(), juce::Rectangle<int> (viewport.getRight() + 1, 156, 340, 384));
    EXPECT_LE (content->getPageArea().getRight(), 1024);

    EXPECT_EQ (content->getSaveButton().getBounds(), juce::Rectangle<int> (15, 555, 120, 30));
    EXPECT_EQ (content->getProgramButton().getBounds(), juce::Rectangle<int> (889, 555, 120, 30));
    EXPECT_EQ (content->getStatusLabel().getBounds(), juce::Rectangle<int> (634, 555, 240, 30));

    // The largest window keeps the fixed sizes and moves the bottom row.
    content->setSize (1920, 1080);
    EXPECT_EQ (content->getListBox().getBounds(), juce::Rectangle<int> (0, 0, 480, 1020));
    EXPECT_EQ (content->getPageArea().getHeight(), 1080 - 155 - 60 - 1);
    EXPECT_EQ (content->getProgramButton().getBounds(), juce::Rectangle<int> (1785, 1035, 120, 30));

    EXPECT_FALSE (content->getProgramButton().isEnabled()) << "until an amplifier is connected";
    EXPECT_EQ (content->getProgramButton().getButtonText(), "Program");
}

TEST_F (MainContentComponentTest, TheVersionLineShowsTheLinkOnlyForANewerVersion)
{
    struct Case
    {
        int earliest, latest, status;
    };

    for (auto c : { Case{ 900, 927, VersionCheck::current }, Case{ 900, 930, VersionCheck::updateAvailable },
                    Case{ 928, 930, VersionCheck::mustUpdate } })
    {
        VersionService service (c.earliest, c.latest);
        make (service.endpoint());

        // The window is not held up by the service: no answer yet.
        EXPECT_EQ (content->getVersionStatus(), VersionCheck::noAnswer);
        EXPECT_EQ (content->getVersionLabel().getBounds(), juce::Rectangle<int> (0, 584, 1024, 14));
        EXPECT_EQ (content->getNewVersionLink().getParentComponent(), nullptr);

        waitForVersionAnswer();
        ASSERT_EQ (content->getVersionStatus(), c.status);

        auto& label = content->getVersionLabel();
        auto& link = content->getNewVersionLink();
        EXPECT_EQ (label.getText(), "v1.5.0r927");
        EXPECT_EQ (label.findColour (juce::Label::textColourId), juce::Colours::darkgrey);

        if (c.status == VersionCheck::current)
        {
            EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (0, 584, 1024, 14));
            EXPECT_EQ (label.getJustificationType(), juce::Justification::centred);
            EXPECT_EQ (link.getParentComponent(), nullptr);
            continue;
        }

        // Statuses 1 and 2 look the same.
        EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (0, 584, 512, 10));
        EXPECT_EQ (label.getJustificationType(), juce::Justification::right);
        EXPECT_EQ (link.getParentComponent(), content.get());
        EXPECT_TRUE (link.isVisible());
        EXPECT_EQ (link.getButtonText(), "New version available!");
        EXPECT_EQ (link.getPosition(), juce::Point<int> (512, 582));
        EXPECT_EQ (link.getHeight(), 14);
        EXPECT_GT (link.getWidth(), 40);
        EXPECT_LT (link.getWidth(), 512) << "shrunk to its text";
        EXPECT_EQ (link.findColour (juce::HyperlinkButton::textColourId), juce::Colours::red);
        EXPECT_TRUE (link.getURL().toString (false).startsWith ("https://www.vantorel.example"));
        diagramtest::saveSnapshot (paintContent(), "main-content-status-" + juce::String (c.status) + ".png");
    }

    // No answer: as current.
    make();
    waitForVersionAnswer();
    EXPECT_EQ (content->getVersionStatus(), VersionCheck::noAnswer);
    EXPECT_EQ (content->getVersionLabel().getBounds(), juce::Rectangle<int> (0, 584, 1024, 14));
    EXPECT_EQ (content->getNewVersionLink().getParentComponent(), nullptr);
}

TEST_F (MainContentComponentTest, ClosingWhileTheVersionServiceIsSilentEndsAtOnce)
{
    LoopbackVersionService service{ LoopbackVersionService::Silent() };
    auto endpoint = service.endpoint();
    endpoint.timeOutSeconds = 3600; // only breaking the request off can end the wait
    make (endpoint);

    for (int i = 0; i < 2000 && !service.hasRequest(); ++i)
        juce::Thread::sleep (10);

    ASSERT_TRUE (service.hasRequest());
    ASSERT_TRUE (content->isVersionCheckRunning());

    content.reset();
    EXPECT_FALSE (service.gaveUp()) << "closing waited for the service";

    for (int i = 0; i < 2000 && !service.clientHungUp(); ++i)
        juce::Thread::sleep (10);

    EXPECT_TRUE (service.clientHungUp());
}

TEST_F (MainContentComponentTest, PaintsTheStripTheLinesAndTheListRows)
{
    addFile ("Hall.sapl", "Hall", 900);
    make();
    ASSERT_FALSE (content->getEntry (0)->isExample());
    ASSERT_TRUE (content->getEntry (1)->isExample());

    const auto image = paintContent();
    const auto background = juce::Colour (0xffd3d3d3);
    EXPECT_TRUE (near (image.getPixelAt (300, 540), background)) << "line over the bottom strip";
    EXPECT_TRUE (near (image.getPixelAt (256, 300), background)) << "line right of the list";
    EXPECT_TRUE (near (image.getPixelAt (content->getViewport().getRight(), 300), background))
        << "line right of the diagram";
    EXPECT_TRUE (near (image.getPixelAt (300, 542), background.brighter (0.4f), 10))
        << "strip: light at the top";
    EXPECT_TRUE (near (image.getPixelAt (300, 599), background.darker (0.4f), 10))
        << "strip: dark at the bottom";
    EXPECT_TRUE (near (image.getPixelAt (900, 300), juce::Colours::white)) << "setup area";
    // The logo sits in the middle of the strip.
    EXPECT_GT (countPixels (image, { 412, 554, 200, 32 },
                            [&] (juce::Colour c) { return !near (c, background, 40); }),
               50);

    const auto accent = juce::Colour (accentColourArgb);
    const juce::Rectangle<int> titleBand (0, 4, 256, 22), authorBand (0, 28, 256, 14);
    const auto isAccent = [&] (juce::Colour c) { return near (c, accent, 40); };
    const auto isGrey = [&] (juce::Colour c) { return near (c, juce::Colours::grey, 40); };
    const auto isBlack = [] (juce::Colour c) { return c.getBrightness() < 0.15f; };
    const auto isWhite = [] (juce::Colour c)
    { return c.getBrightness() > 0.97f && c.getSaturation() < 0.05f; };

    // A file: black title, grey author; an example: the author in the accent colour.
    const auto fileRow = paintRow (0, false);
    EXPECT_GT (countPixels (fileRow, titleBand, isBlack), 20);
    EXPECT_GT (countPixels (fileRow, authorBand, isGrey), 10);
    EXPECT_EQ (countPixels (fileRow, authorBand, isAccent), 0);

    const auto exampleRow = paintRow (1, false);
    EXPECT_GT (countPixels (exampleRow, authorBand, isAccent), 10);

    // Selected: the accent gradient with a white title.
    const auto selectedRow = paintRow (1, true);
    EXPECT_TRUE (near (selectedRow.getPixelAt (250, 0), accent.brighter (0.4f), 8));
    EXPECT_TRUE (near (selectedRow.getPixelAt (250, 44), accent, 12));
    EXPECT_GT (countPixels (selectedRow, titleBand, isWhite), 20);

    // The separating line at the bottom row of pixels.
    EXPECT_TRUE (near (fileRow.getPixelAt (128, 45),
                       juce::Colours::white.overlaidWith (juce::Colours::lightgrey.withAlpha (0.5f)), 3));
    EXPECT_TRUE (near (fileRow.getPixelAt (128, 44), juce::Colours::white));
}

TEST_F (MainContentComponentTest, DevicesAreAddedDeletedAndSelectedThroughTheDiagram)
{
    make();
    auto* diagram = content->getDiagram();
    ASSERT_NE (diagram, nullptr);
    const int devicesBefore = countDevices();
    ASSERT_EQ (diagram->getNumDevices(), devicesBefore);

    // Add: a ZELTA M device at the end, selected; the application counts as changed.
    click (diagram->getAddButton());
    EXPECT_EQ (countDevices(), devicesBefore + 1);
    EXPECT_EQ (diagram->getNumDevices(), devicesBefore + 1);
    EXPECT_EQ (diagram->getSelectedIndex(), devicesBefore);
    EXPECT_EQ (diagram->getSelectedDevice()->getDeviceFamily().name, "ZELTA M");
    // Selecting the new device built its pages, which asks for changes.
    EXPECT_TRUE (content->isModified());

    // Selecting another device switches synchronisation off.
    content->setSyncEnabled (true);
    EXPECT_EQ (content->getProgramButton().getButtonText(), "Sync Enabled");
    EXPECT_EQ (content->getProgramButton().findColour (juce::TextButton::buttonColourId),
               juce::Colours::orange);
    EXPECT_TRUE (diagram->getSelectedDevice()->isSyncMarked());
    diagram->selectDevice (0, false);
    EXPECT_FALSE (content->isSyncEnabled());
    EXPECT_EQ (content->getProgramButton().getButtonText(), "Program");
    EXPECT_EQ (content->getProgramButton().findColour (juce::TextButton::buttonColourId),
               look.findColour (juce::TextButton::buttonColourId));

    // Delete (the Delete key in the diagram), after the question.
    diagram->selectDevice (devicesBefore, false);
    user.okCancelAnswers.push_back (true);
    EXPECT_TRUE (diagram->keyPressed (key (juce::KeyPress::deleteKey)));
    EXPECT_EQ (countDevices(), devicesBefore);
    EXPECT_EQ (diagram->getSelectedIndex(), devicesBefore - 1);

    // The viewport follows the diagram's width.
    EXPECT_EQ (content->getViewport().getViewedComponent(), diagram);
    EXPECT_EQ (content->getViewport().getWidth(),
               diagram->getWidth() + content->getViewport().getScrollBarThickness());
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (MainContentComponentTest, KeyboardMapReachesSaveAddAndDelete)
{
    make();
    auto* diagram = content->getDiagram();
    ASSERT_NE (diagram, nullptr);

    // The shortcuts sit on the buttons; the content and the diagram let them travel on.
    EXPECT_TRUE (content->getSaveButton().isRegisteredForShortcut (key ('S', ctrl)));
    EXPECT_TRUE (content->getProgramButton().isRegisteredForShortcut (key ('P', ctrl)));
    EXPECT_TRUE (diagram->getAddButton().isRegisteredForShortcut (key ('N', ctrl)));
    EXPECT_TRUE (diagram->getDeleteButton().isRegisteredForShortcut (key ('D', ctrl)));
    for (auto k : { key ('S', ctrl), key ('P', ctrl), key ('N', ctrl), key ('D', ctrl) })
    {
        EXPECT_FALSE (diagram->keyPressed (k)) << k.getTextDescription();
        EXPECT_FALSE (content->keyPressed (k)) << k.getTextDescription();
    }

    // Their clicks: Save opens the Save road, Add adds, Delete deletes.
    user.fileAnswers.push_back (std::nullopt);
    click (content->getSaveButton());
    EXPECT_EQ (content->saveDialogsShown, 1);
    EXPECT_EQ (user.countCalls ("save"), 1);

    diagram = content->getDiagram();
    const int devices = countDevices();
    click (diagram->getAddButton());
    EXPECT_EQ (countDevices(), devices + 1);
    user.okCancelAnswers.push_back (true);
    click (diagram->getDeleteButton());
    EXPECT_EQ (countDevices(), devices);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (MainContentComponentTest, CtrlShiftF7AsksBeforeTheSelfTestAndNothingElseStartsIt)
{
    AmplifierEmulator emulator ({ "Zelta 240/2M", 0x4003, 0x4002, 119 });
    LinkTiming quick;
    quick.frameSpacingMs = 1;
    quick.selfTestSettleMs = 1;
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts(), quick);
    make (unreachableEndpoint(), &link);

    // F7 alone, with CTRL only, with SHIFT only: nothing.
    for (auto k : { key (juce::KeyPress::F7Key), key (juce::KeyPress::F7Key, ctrl),
                    key (juce::KeyPress::F7Key, shift), key (juce::KeyPress::F8Key, ctrl | shift) })
        EXPECT_FALSE (content->keyPressed (k));
    EXPECT_TRUE (user.calls.empty());

    // Cancel: nothing reaches the amplifier.
    user.okCancelAnswers.push_back (false);
    EXPECT_FALSE (content->keyPressed (key (juce::KeyPress::F7Key, ctrl | shift))) << "the key travels on";
    ASSERT_EQ (user.calls.size(), 1u);
    EXPECT_EQ (user.calls[0].kind, "okCancel");
    EXPECT_EQ (user.calls[0].icon, UserInteraction::Icon::info);
    EXPECT_EQ (user.calls[0].title, "Run test");
    EXPECT_TRUE (
        user.calls[0].text.startsWith ("The program will now perform a self test of device programming.\n"));

    // OK without a connected amplifier: the test fails.
    user.okCancelAnswers.push_back (true);
    content->keyPressed (key (juce::KeyPress::F7Key, ctrl | shift));
    ASSERT_EQ (user.calls.size(), 3u);
    EXPECT_EQ (user.calls[2].title, "Fail");
    EXPECT_EQ (user.calls[2].text, "Test failed!");
    EXPECT_EQ (emulator.getNumStoredBlocks (37), 0);

    // Connected; CTRL + ALT + SHIFT + F7 runs it as well.
    for (int tick = 0; tick < 20 && link.getLinkState() != BaseCom::connected; ++tick)
        link.timerCallback();
    ASSERT_EQ (link.getLinkState(), BaseCom::connected);

    user.okCancelAnswers.push_back (true);
    content->keyPressed (key (juce::KeyPress::F7Key, ctrl | shift | alt));
    ASSERT_EQ (user.calls.size(), 5u);
    EXPECT_EQ (user.calls[4].title, "Success");
    EXPECT_EQ (user.calls[4].text, "Test successful!");
    EXPECT_GT (emulator.getNumStoredBlocks (37), 0);
    EXPECT_FALSE (user.anyUnexpected());
}
