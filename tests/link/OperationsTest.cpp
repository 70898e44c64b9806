#include "LinkTestSupport.h"
#include "link/ApplicationPayload.h"
#include "document/PresetLibrary.h"
#include "document/ProgramRevision.h"
#include "document/SettingsDocument.h"
#include <thread>

namespace
{
juce::XmlElement* addParameter (juce::XmlElement& parent, int id, int stepValue)
{
    auto* parameter = parent.createNewChildElement ("PARAMETER");
    parameter->setAttribute ("Name", "P" + juce::String (id));
    parameter->setAttribute ("Id", id);
    parameter->setAttribute ("DisplayValue", juce::String (stepValue) + " dB");
    parameter->setAttribute ("StepValue", stepValue);
    return parameter;
}

juce::XmlElement* addElement (juce::XmlElement& parent, const char* tag, const juce::String& name, int id)
{
    auto* element = parent.createNewChildElement (tag);
    element->setAttribute ("Name", name);
    element->setAttribute ("Id", id);
    return element;
}

// A settings document with every kind of element the block carries: effects (one with its
// parameters out of order), a modifier, the matrix modulation and the controls.
std::unique_ptr<juce::XmlElement> makeSettings (juce::int64 seed)
{
    juce::Random random (seed);
    auto value = [&random] { return random.nextInt ({ -300, 300 }); };

    auto settings = std::make_unique<juce::XmlElement> ("CORVADINE");
    settings->setAttribute ("Name", "ZELTA Device CV");
    settings->setAttribute ("ProductName", "Zelta 240/2M");
    settings->setAttribute ("ProductModelId", "119");

    for (int channel = 0; channel < 4; ++channel)
    {
        auto* eq =
            addElement (*settings, "EFFECT", "EQ" + juce::String (channel + 1) + " Preset", 22 + channel);
        for (int i = 0; i < 16; ++i)
            addParameter (*eq, i, value());
    }

    auto* apm = addElement (*settings, "EFFECT", "Apm1 Preset", 34);
    addParameter (*apm, 7, 500);
    addParameter (*apm, 4, value());

    auto* modifier = addElement (*settings, "MODIFIER", "Mod 3  Preset", 4);
    for (int i = 0; i < 13; ++i)
        addParameter (*modifier, i, value());

    auto* matrix = addElement (*settings, "MATRIXMOD", "Matrix Mod", 22);
    auto* first = matrix->createNewChildElement ("EFFECT");
    addParameter (*first, 0, value());
    for (int k = 0; k < 4; ++k)
    {
        auto* pair = addElement (*matrix, "EFFECT", "Pair", 2 * k + 1);
        addParameter (*pair, 18 * k + 1, value());
        addParameter (*pair, 18 * k + 2, value());
        auto* steps = addElement (*matrix, "EFFECT", "Steps", 2 * k + 2);
        for (int i = 3; i <= 18; ++i)
            addParameter (*steps, 18 * k + i, value());
    }

    auto* controls = addElement (*settings, "CONTROLS", "Controls", 1);
    for (int i = 1; i <= 3; ++i)
        addParameter (*controls, i, random.nextInt (1024));

    return settings;
}

// A Device element whose settings child sits between its other children.
std::unique_ptr<juce::XmlElement> makeDevice (juce::int64 seed)
{
    auto device = std::make_unique<juce::XmlElement> ("Device");
    device->setAttribute ("name", "Lobby");
    device->setAttribute ("model", "ZELTA M");
    for (int i = 0; i < 4; ++i)
    {
        auto* input = device->createNewChildElement ("Input");
        input->setAttribute ("id", i);
        input->setAttribute ("label", juce::String::fromUTF8 ("Eingang \xc3\xa4") + juce::String (i + 1));
    }
    device->addChildElement (makeSettings (seed).release());
    auto* outputs = device->createNewChildElement ("OutputSelection");
    auto* delay = outputs->createNewChildElement ("Delay");
    delay->setAttribute ("id", 8);
    delay->setAttribute ("Value", "12.5");
    return device;
}

std::unique_ptr<juce::XmlElement> withoutSettings (const juce::XmlElement& device)
{
    auto copy = std::make_unique<juce::XmlElement> (device);
    if (auto* settings = copy->getChildByName ("CORVADINE"))
        copy->removeChildElement (settings, true);
    return copy;
}

// Programs the device and reads it back; checks that everything the amplifier keeps came back.
void expectProgrammedAndReadBack (VantorelCom& link, juce::XmlElement& device)
{
    const juce::XmlElement original (device);
    ASSERT_TRUE (link.sendApplication (device));
    EXPECT_TRUE (device.getChildElement (device.getNumChildElements() - 1)->hasTagName ("CORVADINE"))
        << "the settings child goes back as the last child";
    EXPECT_EQ (device.getNumChildElements(), original.getNumChildElements());

    juce::XmlElement readBack ("Device");
    ASSERT_EQ (link.readApplication (readBack), QuobCom::readDone);
    const auto* readSettings = readBack.getChildByName ("CORVADINE");
    ASSERT_NE (readSettings, nullptr);
    EXPECT_EQ (readBack.getChildElement (readBack.getNumChildElements() - 1), readSettings);

    EXPECT_TRUE (withoutSettings (readBack)->isEquivalentTo (withoutSettings (original).get(), false));
    const auto sent = getStepValues (*original.getChildByName ("CORVADINE"));
    EXPECT_GT (sent.size(), 0);
    EXPECT_EQ (getStepValues (*readSettings), sent);
}

class OperationsTest : public EmulatedLinkTest
{
};

// The embedded-document table of a small preset library: one output EQ preset, one speaker preset
// and one example application.
const char* const eqPreset = R"(<?xml version="1.0" encoding="UTF-8"?>
<CORVADINE Name="Low Cut" Id="2"><EFFECT Name="EQ1 Preset" Id="22">
<PARAMETER Name="Type" Id="0" DisplayValue="Band" StepValue="1"/><PARAMETER Name="Gain" Id="1" DisplayValue="-3.0 dB" StepValue="-30"/>
</EFFECT><EFFECT Name="Apm1 Preset" Id="34"><PARAMETER Name="V Lim" Id="7" DisplayValue="50.0" StepValue="500"/></EFFECT></CORVADINE>)";
const char* const speakerPreset = R"(<?xml version="1.0" encoding="UTF-8"?>
<CORVADINE Name="Two-way 8in Full Range" Id="30"><EFFECT Name="EQ1 Preset" Id="22">
<PARAMETER Name="Gain" Id="0" DisplayValue="2.0 dB" StepValue="20"/></EFFECT></CORVADINE>)";
const char* const exampleApplication = R"(<?xml version="1.0" encoding="UTF-8"?>
<Application><Title>Lobby</Title><Author>Quenbrel</Author><SvnRevision>582</SvnRevision>
<Device name="Lobby" model="ZELTA"><Input id="0" label="IN1"/>
<CORVADINE Name="ZELTA Device CV"><EFFECT Name="Router Preset" Id="10"><PARAMETER Name="Src" Id="0" DisplayValue="1" StepValue="1"/></EFFECT>
<CONTROLS Id="1"><PARAMETER Id="1" StepValue="5"/><PARAMETER Id="2" StepValue="-7"/></CONTROLS></CORVADINE>
<OutputSelection><Delay id="8" Value="0"/></OutputSelection></Device></Application>)";

std::vector<EmbeddedDocument> smallLibraryTable()
{
    return { { eqPreset, (int)strlen (eqPreset), 2 },
             { speakerPreset, (int)strlen (speakerPreset), 9 },
             { exampleApplication, (int)strlen (exampleApplication), 0 },
             { nullptr, 0, -1 } };
}
} // namespace

TEST_F (OperationsTest, IdentityIsReadOncePerConnection)
{
    emulator.setSerialNumber (0x00c0ffee);
    emulator.setFirmwareRevision (924);
    EXPECT_EQ (link.getSerialNumber(), 0u) << "not connected";
    EXPECT_EQ (emulator.getNumReceived (5), 0);

    connect();
    EXPECT_EQ (link.getSerialNumber(), 0x00c0ffeeu);
    EXPECT_EQ (link.getSerialNumber(), 0x00c0ffeeu);
    EXPECT_EQ (link.getFirmwareRevision(), 924u);
    EXPECT_EQ (emulator.getNumReceived (5), 1) << "the second query is served from the cache";
    EXPECT_EQ (emulator.getNumReceived (3), 1);

    // Another amplifier of the same model plugged in: the caches were cleared with the disconnect.
    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getSerialNumber(), 0u);
    emulator.setSerialNumber (4711);
    emulator.setFirmwareRevision (925);
    emulator.plugIn();
    connect();
    EXPECT_EQ (link.getSerialNumber(), 4711u);
    EXPECT_EQ (link.getFirmwareRevision(), 925u);
    EXPECT_EQ (emulator.getNumReceived (5), 2);
}

TEST_F (OperationsTest, ShortWordRepliesAreRetriedFourTimesThenGiveZero)
{
    connect();
    emulator.setFault (Fault::shortWordReplies, true);
    EXPECT_EQ (link.getFirmwareRevision(), 0u);
    EXPECT_EQ (emulator.getNumReceived (3), 4);
    EXPECT_EQ (link.compareFirmware(), -1) << "an unreadable revision counts as older";

    // A failed read is tried again at the next query.
    emulator.setFault (Fault::shortWordReplies, false);
    EXPECT_EQ (link.getFirmwareRevision(), 924u);
    EXPECT_EQ (emulator.getNumReceived (3), 9);
}

TEST_F (OperationsTest, NoReplyGivesZeroAfterFourAttempts)
{
    connect();
    emulator.setFault (Fault::noReply, true);
    EXPECT_EQ (link.readSerialNumber(), 0u);
    EXPECT_EQ (emulator.getNumReceived (5), 4);
}

// While another thread holds the link the words are not asked for: the caller learns that the
// link was busy, which a silent amplifier never reports, and a later query reads them.
TEST_F (OperationsTest, ABusyLinkIsToldApartFromASilentAmplifier)
{
    connect();
    bool busy = true;
    emulator.setFault (Fault::noReply, true);
    EXPECT_EQ (link.readSerialNumber (&busy), 0u);
    EXPECT_FALSE (busy) << "asked four times and left unanswered";
    emulator.setFault (Fault::noReply, false);

    juce::WaitableEvent held, released;
    std::thread transfer (
        [&]
        {
            const juce::ScopedLock operation (link.getOperationLock());
            held.signal();
            released.wait (-1);
        });
    held.wait (-1);
    const int revisionRequests = emulator.getNumReceived (3);
    EXPECT_EQ (link.getFirmwareRevision (&busy), 0u);
    EXPECT_TRUE (busy);
    EXPECT_EQ (link.getSerialNumber (&busy), 0u);
    EXPECT_TRUE (busy);
    EXPECT_EQ (emulator.getNumReceived (3), revisionRequests);
    released.signal();
    transfer.join();

    EXPECT_EQ (link.getFirmwareRevision (&busy), 924u) << "the busy link left nothing cached";
    EXPECT_FALSE (busy);
}

TEST_F (OperationsTest, FirmwareComparison)
{
    const std::pair<juce::uint32, int> cases[] = { { 924, 0 }, { 925, 1 }, { 900, -1 }, { 0x80000000u, 1 } };
    for (const auto& [revision, expected] : cases)
    {
        emulator.setFirmwareRevision (revision);
        emulator.plugIn();
        link.disconnect();
        connect();
        EXPECT_EQ (link.compareFirmware(), expected) << revision;
    }

    emulator.plugIn (AmplifierEmulator::Mode::update);
    link.disconnect();
    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    EXPECT_EQ (link.compareFirmware(), 0);
    EXPECT_EQ (link.getFirmwareRevision(), 0u);
}

TEST_F (OperationsTest, FamilyOfTheConnectedModel)
{
    EXPECT_FALSE (link.isFamily (1)) << "not connected";
    connect();
    EXPECT_TRUE (link.isFamily (1));
    EXPECT_FALSE (link.isFamily (0));
    EXPECT_FALSE (link.isFamily (2));
    EXPECT_FALSE (link.isFamily (3));
    EXPECT_FALSE (link.isFamily (-1));

    AmplifierEmulator seventy (zelta120_1());
    VantorelCom other (seventy.createUsbDevices(), seventy.createMidiPorts());
    ASSERT_GT (tickUntilState (other, BaseCom::connected), 0);
    EXPECT_TRUE (other.isFamily (2));
    EXPECT_FALSE (other.isFamily (1));
}

TEST_F (OperationsTest, TextCommandsAndUpdateMode)
{
    link.enterUpdateMode();
    connect();
    EXPECT_EQ (emulator.getNumReceived (21), 0) << "nothing is sent while not connected";

    EXPECT_FALSE (link.sendTextCommand (juce::String::repeatedString ("x", 128)));
    EXPECT_TRUE (link.sendTextCommand (juce::String::repeatedString ("x", 127)));
    EXPECT_TRUE (link.sendTextCommand (juce::String::fromUTF8 ("gr\xc3\xbc\xc3\x9f")));

    link.enterUpdateMode();
    EXPECT_EQ (emulator.getTextCommands(),
               (juce::StringArray{ juce::String::repeatedString ("x", 127),
                                   juce::String::fromUTF8 ("gr\xc3\xbc\xc3\x9f"), "erasenboot" }));
    EXPECT_EQ (emulator.getMode(), AmplifierEmulator::Mode::update);

    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.appDisconnects, 1);
    EXPECT_EQ (tickUntilState (link, BaseCom::connectedInUpdateMode), 6);
    EXPECT_EQ (link.getProductName(), "Zelta 240/2M");
    EXPECT_TRUE (link.sendTextCommand ("anything")) << "text commands do not look at the state";
}

TEST_F (OperationsTest, ProgramsADeviceAndReadsItBack)
{
    connect();
    auto device = makeDevice (1);
    expectProgrammedAndReadBack (link, *device);
    EXPECT_EQ (emulator.getNumStoredBlocks (40), 1);
    EXPECT_EQ (emulator.getNumStoredBlocks (37), 1);

    // The stored payload carries the program revision ahead of the element.
    int revision = 0;
    auto payload = parseApplicationPayload (emulator.getStoredBlock (37), &revision);
    ASSERT_NE (payload, nullptr);
    EXPECT_EQ (revision, programRevision);
    EXPECT_EQ (payload->getChildByName ("CORVADINE"), nullptr);

    // Programming again with other values replaces both blocks.
    auto other = makeDevice (2);
    expectProgrammedAndReadBack (link, *other);
    EXPECT_EQ (emulator.getNumStoredBlocks (40), 2);
}

TEST_F (OperationsTest, ProgramsTheZeltaMTemplate)
{
    PresetLibrary library;
    const auto* family = library.getElement (1);
    if (family == nullptr)
        GTEST_SKIP() << "the device templates are not embedded in this build";

    connect();
    juce::XmlElement device (*family);
    expectProgrammedAndReadBack (link, device);
}

TEST_F (OperationsTest, ProgrammingRefusesWhatCannotBeSentWhole)
{
    auto device = makeDevice (3);
    EXPECT_FALSE (link.sendApplication (*device)) << "not connected";
    connect();

    juce::XmlElement noSettings ("Device");
    noSettings.createNewChildElement ("Input");
    EXPECT_FALSE (link.sendApplication (noSettings));

    // Sixteen records of 254 words and one of 16: 16324 bytes with the end word, within the
    // settings format but more than 255 frames.
    auto tooManyFrames = std::make_unique<juce::XmlElement> ("Device");
    auto* settings = tooManyFrames->createNewChildElement ("corvadine");
    for (int e = 0; e < 17; ++e)
    {
        auto* effect = addElement (*settings, "EFFECT", "Big", e);
        for (int i = 0; i < (e < 16 ? 253 : 15); ++i)
            addParameter (*effect, i, i);
    }
    EXPECT_FALSE (link.sendApplication (*tooManyFrames));
    EXPECT_TRUE (tooManyFrames->getChildElement (0)->hasTagName ("corvadine")) << "the child is put back";

    // One more record of 254 words: the block would pass 16384 bytes and lose records.
    auto* extra = addElement (*settings, "EFFECT", "Big", 99);
    for (int i = 0; i < 253; ++i)
        addParameter (*extra, i, i);
    EXPECT_FALSE (link.sendApplication (*tooManyFrames));

    EXPECT_EQ (emulator.getNumReceived (40), 0);
    EXPECT_EQ (emulator.getNumReceived (37), 0) << "without its settings the payload is not sent";
}

TEST_F (OperationsTest, UnplugDuringProgrammingFailsOnEveryThread)
{
    connect();
    // On the message thread no tick can run during the transfer; the synchronisation thread
    // programs while the message thread ticks on and closes the ports of the vanished amplifier.
    for (const bool onMessageThread : { true, false })
    {
        SCOPED_TRACE (onMessageThread ? "message thread" : "another thread");
        auto device = makeDevice (4);
        emulator.unplugAfterIncomingFrames (5);

        std::atomic<bool> done{ false }, result{ true };
        if (onMessageThread)
        {
            result = link.sendApplication (*device);
        }
        else
        {
            std::thread programThread (
                [&]
                {
                    result = link.sendApplication (*device);
                    done = true;
                });
            while (!done.load())
            {
                link.timerCallback();
                juce::Thread::sleep (20);
            }
            programThread.join();
        }

        EXPECT_FALSE (result.load());
        EXPECT_EQ (emulator.getNumStoredBlocks (40), 0);
        EXPECT_TRUE (device->getChildElement (device->getNumChildElements() - 1)->hasTagName ("CORVADINE"));
        ASSERT_GT (tickUntilState (link, BaseCom::idle), 0);

        emulator.plugIn();
        connect();
    }
}

TEST_F (OperationsTest, ReadResults)
{
    juce::XmlElement destination ("Device");
    EXPECT_EQ (link.readSettings (destination), QuobCom::readFailed) << "not connected";
    EXPECT_EQ (link.readApplication (destination), QuobCom::readFailed);
    connect();

    // Nothing stored yet: an empty block gives settings without elements.
    juce::XmlElement fresh ("Device");
    fresh.setAttribute ("name", "kept");
    EXPECT_EQ (link.readApplication (fresh), QuobCom::readNoSettings);
    EXPECT_EQ (fresh.getStringAttribute ("name"), "kept");
    EXPECT_EQ (fresh.getNumChildElements(), 0);

    // Settings stored and no application part: the settings alone are appended.
    juce::MemoryOutputStream block;
    block.writeIntBigEndian (0x02015800);
    block.writeIntBigEndian (5);
    block.writeIntBigEndian (0x01000000);
    emulator.setStoredBlock (40, block.getMemoryBlock());
    EXPECT_EQ (link.readApplication (fresh), QuobCom::readDone);
    EXPECT_EQ (fresh.getStringAttribute ("name"), "kept");
    ASSERT_EQ (fresh.getNumChildElements(), 1);
    const auto* effect = fresh.getChildElement (0)->getChildByName ("EFFECT");
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->getIntAttribute ("Id"), 88);
    EXPECT_EQ (effect->getChildByName ("PARAMETER")->getStringAttribute ("StepValue"), "5");

    // An application part that is there but cannot be taken would hide a password: the read fails
    // and the destination stays as it was.
    auto device = makeDevice (3);
    const auto part = withoutSettings (*device);
    const auto stored = createApplicationPayload (*part, programRevision);
    auto expectFailedAndUnchanged = [this] (const char* what)
    {
        juce::XmlElement destination ("Device");
        destination.setAttribute ("name", "kept");
        EXPECT_EQ (link.readApplication (destination), QuobCom::readFailed) << what;
        EXPECT_EQ (destination.getStringAttribute ("name"), "kept") << what;
        EXPECT_EQ (destination.getNumChildElements(), 0) << what;
    };
    juce::MemoryBlock damaged (40);
    damaged.fillWith (0x55);
    const std::pair<const char*, juce::MemoryBlock> unreadable[] = {
        { "not a zlib stream", damaged },
        { "cut", juce::MemoryBlock (stored.getData(), stored.getSize() / 2) },
        { "not a Device", createApplicationPayload (juce::XmlElement ("Application"), programRevision) },
        { "settings inside", createApplicationPayload (*device, programRevision) },
    };
    for (const auto& [what, payload] : unreadable)
    {
        emulator.setStoredBlock (37, payload);
        expectFailedAndUnchanged (what);
    }

    // The revision ahead of the part is not looked at: a later program's part reads back.
    for (const int revision : { programRevision + 1, 0, -1 })
    {
        emulator.setStoredBlock (37, createApplicationPayload (*part, revision));
        juce::XmlElement destination ("Device");
        EXPECT_EQ (link.readApplication (destination), QuobCom::readDone) << revision;
        EXPECT_TRUE (withoutSettings (destination)->isEquivalentTo (part.get(), false)) << revision;
    }

    // A part that does not arrive whole, while the settings are answered all along: neither its
    // first frame nor a later one may go missing.
    ASSERT_GT (stored.getSize(), 64u);
    emulator.setStoredBlock (37, stored);
    emulator.setFault (Fault::lostReplyFrameCommand, QuobCom::readApplicationCommand);
    for (const int lostFrame : { 1, 2 })
    {
        emulator.setFault (Fault::lostReplyFrame, lostFrame);
        expectFailedAndUnchanged (lostFrame == 1 ? "first frame lost" : "second frame lost");
        juce::XmlElement settingsAlone ("CORVADINE");
        EXPECT_EQ (link.readSettings (settingsAlone), QuobCom::readDone);
    }
    emulator.setFault (Fault::lostReplyFrame, 0);
    EXPECT_EQ (link.readApplication (fresh), QuobCom::readDone);
    EXPECT_EQ (fresh.getStringAttribute ("name"), "Lobby");

    // A record that claims more words than the block holds is not what the amplifier has.
    juce::MemoryOutputStream cut;
    cut.writeIntBigEndian (0x05015800);
    cut.writeIntBigEndian (5);
    emulator.setStoredBlock (40, cut.getMemoryBlock());
    juce::XmlElement settings ("CORVADINE");
    settings.setAttribute ("Name", "previous");
    EXPECT_EQ (link.readSettings (settings), QuobCom::readFailed);
    EXPECT_EQ (settings.getStringAttribute ("Name"), "previous");

    emulator.setFault (Fault::wrongFrameIndex, true);
    EXPECT_EQ (link.readSettings (settings), QuobCom::readFailed);
    EXPECT_EQ (link.readApplication (settings), QuobCom::readFailed);
}

TEST_F (OperationsTest, SelfTestPassesOnAHealthyAmplifier)
{
    const auto table = smallLibraryTable();
    PresetLibrary library (table.data());
    ASSERT_EQ (library.getNumUnparsedDocuments(), 0);

    EXPECT_FALSE (link.runSelfTest (library)) << "not connected";
    connect();
    EXPECT_TRUE (link.runSelfTest (library));
    EXPECT_EQ (emulator.getNumStoredBlocks (37), 3);
    EXPECT_EQ (emulator.getNumStoredBlocks (40), 1);

    // Garbage on the line does not disturb it.
    emulator.setFault (Fault::garbage, true);
    EXPECT_TRUE (link.runSelfTest (library));
}

TEST_F (OperationsTest, SelfTestFailsOnAFaultyAmplifier)
{
    const auto table = smallLibraryTable();
    PresetLibrary library (table.data());
    connect();

    emulator.setFault (Fault::lostIncomingFrame, 1);
    EXPECT_FALSE (link.runSelfTest (library)) << "blocks are lost on the way";
    emulator.setFault (Fault::lostIncomingFrame, 0);

    emulator.setFault (Fault::wrongFrameIndex, true);
    EXPECT_FALSE (link.runSelfTest (library));
    emulator.setFault (Fault::wrongFrameIndex, false);
    ASSERT_TRUE (link.runSelfTest (library));

    emulator.unplugAfterIncomingFrames (1);
    EXPECT_FALSE (link.runSelfTest (library)) << "unplugged during the test";
}

// Every preset and example of the program through the whole transfer path. The pacing of frames
// and the settling pause only give a real amplifier time; they are cut short here to keep this
// test at seconds rather than most of a minute.
TEST (SelfTest, PassesWithTheProgramsPresets)
{
    juce::ScopedJuceInitialiser_GUI juce;
    PresetLibrary library;
    if (library.getList (9) == nullptr || library.getList (9)->isEmpty())
        GTEST_SKIP() << "the presets are not embedded in this build";

    LinkTiming quick;
    quick.frameSpacingMs = 1;
    quick.selfTestSettleMs = 1;
    AmplifierEmulator emulator (zelta240_2M());
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts(), quick);
    ASSERT_GT (tickUntilState (link, BaseCom::connected), 0);

    EXPECT_TRUE (link.runSelfTest());
    EXPECT_EQ (emulator.getNumStoredBlocks (37),
               library.getList (2)->size() + library.getList (9)->size() + emulator.getNumStoredBlocks (40));
    EXPECT_GE (emulator.getNumStoredBlocks (40), 7);
}

TEST_F (OperationsTest, FirmwareUpdateFromOlderFirmwareToTheEmbeddedImage)
{
    if (link.getProductList().getProduct (0)->getFirmwareImage().getSize() == 0)
        GTEST_SKIP() << "the firmware images are not embedded in this build";

    emulator.setFirmwareRevision (900);
    connect();
    ASSERT_EQ (link.compareFirmware(), -1);

    link.enterUpdateMode();
    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    ASSERT_TRUE (link.requestFirmwareUpdate());

    const auto& image = link.getProductList().getProduct (0)->getFirmwareImage();
    ASSERT_GT (tickUntilState (link, BaseCom::idle, 600), 0);
    EXPECT_EQ (link.getUpdateProgress(), 0) << "no product is current after the disconnect";
    const auto report = emulator.getFirmwareReport();
    EXPECT_EQ (report.completedUpdates, 1);
    EXPECT_EQ (report.dataMessages, 479);
    EXPECT_EQ (report.messages, 481);
    EXPECT_EQ (report.dataChecksum, firmwareDataChecksum (image.getData(), image.getSize()));

    ASSERT_EQ (tickUntilState (link, BaseCom::connected), 6);
    EXPECT_EQ (link.getUpdateProgress(), 100);
    EXPECT_EQ (link.getFirmwareRevision(), 924u);
    EXPECT_EQ (link.compareFirmware(), 0);
}
