#include <gtest/gtest.h>

#include "look/ColourScheme.h"
#include "shell/DiagramDevice.h"
#include "tests/shell/DiagramTestSupport.h"
#include "tests/look/LookPaintHelpers.h"
#include "testing/user/ScriptedUserInteraction.h"

namespace
{
using diagramtest::findLabel;

const juce::Colour grey (0xff808080);
const juce::Colour silver (0xffc0c0c0);
const juce::Colour accent (accentColourArgb);
const juce::Colour orange (0xffffa500);

// The pin element with the tag whose "id" attribute reads `id`; null when there is none.
juce::XmlElement* pin (juce::XmlElement& device, const char* tag, int id)
{
    juce::XmlElement* found = nullptr;
    for (auto* child : device.getChildWithTagNameIterator (tag))
        if (child->getStringAttribute ("id") == juce::String (id))
        {
            EXPECT_EQ (found, nullptr) << "two " << tag << " elements with id " << id;
            found = child;
        }
    return found;
}

// Opens the protected seams: counts the readback requests and shows what the
// password dialog delivered.
class ProbedDevice : public DiagramDevice
{
public:
    using DiagramDevice::DiagramDevice;
    using DiagramDevice::getLastPasswordText;
    using DiagramDevice::wasPasswordEntryCancelled;

    int readbacks = 0;

protected:
    void readSettingsBack() override { ++readbacks; }
};

class DiagramDeviceTest : public ::testing::Test
{
protected:
    DiagramDeviceTest() { applyColourScheme (scheme); }

    std::unique_ptr<ProbedDevice> makeBox (const juce::String& familyName, int number = 1)
    {
        auto box =
            std::make_unique<ProbedDevice> (number, *device, true, DeviceFamily::fromName (familyName), user);
        box->setLookAndFeel (&scheme);
        return box;
    }

    static void type (juce::Label* label, const juce::String& text)
    {
        ASSERT_NE (label, nullptr);
        label->setText (text, juce::sendNotificationSync);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V3 scheme;
    ScriptedUserInteraction user;
    std::unique_ptr<juce::XmlElement> device = diagramtest::parse (
        "<Device model=\"ZELTA\"><Input id=\"1\" label=\"Lectern\"/><Input id=\"7\" label=\"Far away\"/>"
        "<Output id=\"0\" label=\"Hall\"/><GPI id=\"0\"/><GPO id=\"0\" label=\"Bell\"/></Device>");
};
} // namespace

TEST_F (DiagramDeviceTest, MakesOneLabelPerPinOfItsFamily)
{
    const std::tuple<const char*, int, int, int, int> families[] = { { "ZELTA", 2, 2, 2, 1 },
                                                                     { "ZELTA M", 4, 4, 2, 1 },
                                                                     { "ZELTA 70", 2, 1, 2, 1 } };

    for (auto [name, inputs, outputs, gpis, gpos] : families)
    {
        auto box = makeBox (name);
        SCOPED_TRACE (name);
        EXPECT_EQ (diagramtest::countLabelsNamed (*box, "inLabel"), inputs);
        EXPECT_EQ (diagramtest::countLabelsNamed (*box, "outLabel"), outputs);
        EXPECT_EQ (diagramtest::countLabelsNamed (*box, "gpiLabel"), gpis);
        EXPECT_EQ (diagramtest::countLabelsNamed (*box, "gpoLabel"), gpos);
        EXPECT_EQ (box->getWidth(), 400);
        EXPECT_EQ (box->getHeight(), 210);
        EXPECT_EQ (box->getDeviceFamily().name, juce::String (name));
    }
}

TEST_F (DiagramDeviceTest, LoadsTheLabelsTheElementHolds)
{
    auto box = makeBox ("ZELTA", 3);

    EXPECT_EQ (findLabel (*box, "Amp label")->getText(), "Zelta"); // no name attribute
    EXPECT_EQ (findLabel (*box, "device number")->getText(), "3");
    EXPECT_EQ (findLabel (*box, "inLabel0")->getText(), "NC");
    EXPECT_EQ (findLabel (*box, "inLabel1")->getText(), "Lectern");
    EXPECT_EQ (findLabel (*box, "outLabel0")->getText(), "Hall");
    EXPECT_EQ (findLabel (*box, "gpiLabel0")->getText(), "NC"); // element without a label attribute
    EXPECT_EQ (findLabel (*box, "gpoLabel0")->getText(), "Bell");

    // A pin the family does not have is ignored and stays in the document.
    EXPECT_NE (pin (*device, "Input", 7), nullptr);
    EXPECT_FALSE (box->hasChanged());

    // Reloading sets only what the element names; other pins keep their text.
    findLabel (*box, "inLabel0")->setText ("Typed", juce::dontSendNotification);
    device->setAttribute ("name", "Stage left");
    box->loadLabelsFromDevice();
    EXPECT_EQ (findLabel (*box, "inLabel0")->getText(), "Typed");
    EXPECT_EQ (findLabel (*box, "Amp label")->getText(), "Stage left");

    box->setDeviceNumber (5);
    EXPECT_EQ (box->getDeviceNumber(), 5);
    EXPECT_EQ (findLabel (*box, "device number")->getText(), "5");
}

TEST_F (DiagramDeviceTest, PinLabelEditsWriteTheirElements)
{
    auto box = makeBox ("ZELTA M");

    // A text on output 2 appears as an Output element with id 1, shown in black.
    type (findLabel (*box, "outLabel1"), "Foyer");
    auto* output = pin (*device, "Output", 1);
    ASSERT_NE (output, nullptr);
    EXPECT_EQ (output->getStringAttribute ("label"), "Foyer");
    EXPECT_EQ (findLabel (*box, "outLabel1")->findColour (juce::Label::textColourId), juce::Colours::black);
    EXPECT_TRUE (box->hasChanged());

    // Editing an existing element changes it in place, without a second one.
    type (findLabel (*box, "inLabel1"), "Pulpit");
    EXPECT_EQ (pin (*device, "Input", 1)->getStringAttribute ("label"), "Pulpit");
    EXPECT_EQ (device->getNumChildElements(), 6);

    // Clearing a label shows "NC" in grey and removes the pin's element.
    type (findLabel (*box, "outLabel0"), "");
    EXPECT_EQ (findLabel (*box, "outLabel0")->getText(), "NC");
    EXPECT_EQ (findLabel (*box, "outLabel0")->findColour (juce::Label::textColourId), grey);
    EXPECT_EQ (pin (*device, "Output", 0), nullptr);

    // "NC" typed into a pin with an element removes it ...
    type (findLabel (*box, "gpoLabel0"), "NC");
    EXPECT_EQ (pin (*device, "GPO", 0), nullptr);

    // ... and into a pin without one (its label kept an older text) adds an element that says so.
    findLabel (*box, "gpiLabel1")->setText ("Older", juce::dontSendNotification);
    type (findLabel (*box, "gpiLabel1"), "NC");
    auto* gpi = pin (*device, "GPI", 1);
    ASSERT_NE (gpi, nullptr);
    EXPECT_EQ (gpi->getStringAttribute ("label"), "NC");
    EXPECT_EQ (gpi->getStringAttribute ("id"), "1");

    // The elements of other pins and tags are left alone.
    EXPECT_NE (pin (*device, "Input", 7), nullptr);
    EXPECT_EQ (pin (*device, "Input", 1)->getStringAttribute ("label"), "Pulpit");
}

TEST_F (DiagramDeviceTest, LongTextsAreStoredCutAndShownAsStored)
{
    auto box = makeBox ("ZELTA");
    const auto longName = juce::String::repeatedString ("abcdefghij", 20); // 200 characters

    type (findLabel (*box, "Amp label"), longName);
    EXPECT_EQ (device->getStringAttribute ("name"), longName.substring (0, 127));
    EXPECT_EQ (findLabel (*box, "Amp label")->getText(), longName.substring (0, 127));

    type (findLabel (*box, "inLabel0"), longName);
    EXPECT_EQ (pin (*device, "Input", 0)->getStringAttribute ("label").length(), 127);
    EXPECT_EQ (findLabel (*box, "inLabel0")->getText().length(), 127);

    // Exactly 127 characters are kept whole.
    const auto fits = longName.substring (0, 127);
    type (findLabel (*box, "inLabel1"), fits);
    EXPECT_EQ (pin (*device, "Input", 1)->getStringAttribute ("label"), fits);
}

TEST_F (DiagramDeviceTest, OnlyTheSelectedBoxAsksForAReadback)
{
    auto box = makeBox ("ZELTA");

    lookpaint::click (box->getSettingsButton());
    EXPECT_EQ (box->readbacks, 0);

    box->setSelected (true);
    lookpaint::click (box->getSettingsButton());
    EXPECT_EQ (box->readbacks, 1);

    // The padlock only toggles; it reads nothing.
    lookpaint::click (box->getPasswordButton());
    EXPECT_TRUE (box->getPasswordButton().getToggleState());
    EXPECT_EQ (box->readbacks, 1);

    box->clearPadlock();
    EXPECT_FALSE (box->getPasswordButton().getToggleState());
}

TEST_F (DiagramDeviceTest, PasswordDialogAnswers)
{
    auto box = makeBox ("ZELTA");

    box->actionListenerCallback ("");
    ASSERT_EQ (user.calls.size(), 1u);
    EXPECT_EQ (user.calls[0].icon, UserInteraction::Icon::warning);
    EXPECT_EQ (user.calls[0].title, "Error");
    EXPECT_EQ (user.calls[0].text, "Please provide a password");

    box->actionListenerCallback ("secret");
    EXPECT_EQ (box->getLastPasswordText(), "secret");
    EXPECT_FALSE (box->wasPasswordEntryCancelled());
    EXPECT_EQ (user.calls.size(), 1u);

    // Escape is a cancel, not a password that happens to read "cancel".
    PasswordComponent entry;
    box->passwordEntryCancelled (entry);
    EXPECT_TRUE (box->wasPasswordEntryCancelled());
    EXPECT_TRUE (box->getLastPasswordText().isEmpty());

    box->actionListenerCallback ("cancel");
    EXPECT_FALSE (box->wasPasswordEntryCancelled());
    EXPECT_EQ (box->getLastPasswordText(), "cancel");
}

TEST_F (DiagramDeviceTest, DrawsOnlyThePinsOfItsFamily)
{
    auto fourByFour = makeBox ("ZELTA M");
    auto twoByTwo = makeBox ("ZELTA");
    auto twoByOne = makeBox ("ZELTA 70");
    const auto zeltaM = lookpaint::paint (*fourByFour);
    const auto zelta = lookpaint::paint (*twoByTwo);
    const auto zelta70 = lookpaint::paint (*twoByOne);
    diagramtest::saveSnapshot (zelta70, "device-box-zelta70.png");

    const auto hasInk = [] (const juce::Image& image, juce::Rectangle<int> area)
    {
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (image.getPixelAt (x, y).getBrightness() < 0.9f)
                    return true;
        return false;
    };

    // Where "SPK2" goes, inside the body.
    const juce::Rectangle<int> secondOutputName (222, 66, 46, 22);
    EXPECT_TRUE (hasInk (zelta, secondOutputName));
    EXPECT_FALSE (hasInk (zelta70, secondOutputName));

    // The stubs of inputs 2 and 3, left of the body where no shadow falls.
    const juce::Rectangle<int> secondInputStub (111, 74, 8, 6);
    const juce::Rectangle<int> thirdInputStub (111, 94, 8, 6);
    EXPECT_TRUE (hasInk (zelta70, secondInputStub));
    EXPECT_TRUE (hasInk (zeltaM, thirdInputStub));
    EXPECT_FALSE (hasInk (zelta, thirdInputStub));
}

TEST_F (DiagramDeviceTest, OutlineTellsSelectionAndSynchronisation)
{
    auto box = makeBox ("ZELTA M");
    const auto outlineAt = [&box]
    {
        const auto image = lookpaint::paint (*box);
        return image.getPixelAt (125, 110);
    };

    EXPECT_TRUE (lookpaint::coloursMatch (outlineAt(), silver));

    box->setSelected (true);
    EXPECT_TRUE (lookpaint::coloursMatch (outlineAt(), accent));

    box->setSyncMarked (true);
    EXPECT_TRUE (lookpaint::coloursMatch (outlineAt(), orange));
    diagramtest::saveSnapshot (lookpaint::paint (*box), "device-box-synchronised.png");

    // The sync mark shows only on the selected box.
    box->setSelected (false);
    EXPECT_TRUE (lookpaint::coloursMatch (outlineAt(), silver));
}

TEST (SyncAnim, BrightnessChasesRoundTheRing)
{
    juce::ScopedJuceInitialiser_GUI gui;
    SyncAnim spinner (juce::Colours::orange);
    spinner.setBounds (0, 0, 30, 30);

    // The first step ran at construction: dot 0 is the dimmest, brightness rises behind it.
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (0), 0.25f);
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (1), 0.25f + 1.0f / 12.0f);
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (11), 1.0f);

    // Each step moves the dimmest dot on by one.
    spinner.setAnimating (true);
    EXPECT_TRUE (spinner.isAnimating());
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (1), 0.25f);
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (0), 1.0f);
    EXPECT_FLOAT_EQ (spinner.getDotAlpha (2), 0.25f + 1.0f / 12.0f);

    // The brightest dot sits on the ring, to the right of the centre.
    EXPECT_NEAR (spinner.getDotBounds (0).getCentreX(), 26.25f, 1.0e-4f);
    EXPECT_NEAR (spinner.getDotBounds (0).getCentreY(), 15.0f, 1.0e-4f);
}

TEST (SyncAnim, PaintsOnlyWhileAnimating)
{
    juce::ScopedJuceInitialiser_GUI gui;
    SyncAnim spinner (juce::Colours::orange);
    spinner.setBounds (0, 0, 30, 30);

    const auto brightest = spinner.getDotBounds (0).getCentre().roundToInt();
    EXPECT_EQ (lookpaint::paint (spinner).getPixelAt (brightest.x, brightest.y).getAlpha(), 0);

    spinner.setAnimating (true);
    EXPECT_TRUE (lookpaint::coloursMatch (lookpaint::paint (spinner).getPixelAt (brightest.x, brightest.y),
                                          juce::Colours::orange, 40));

    spinner.setAnimating (false);
    EXPECT_FALSE (spinner.isAnimating());
    EXPECT_EQ (lookpaint::paint (spinner).getPixelAt (brightest.x, brightest.y).getAlpha(), 0);
}
