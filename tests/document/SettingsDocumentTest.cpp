#include <gtest/gtest.h>
#include "document/SettingsDocument.h"

namespace
{
std::unique_ptr<juce::XmlElement> parse (const char* text)
{
    auto element = juce::parseXML (juce::String (text));
    EXPECT_NE (element, nullptr) << text;
    return element;
}

juce::StringArray attributeNames (const juce::XmlElement& element)
{
    juce::StringArray names;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.add (element.getAttributeName (i));
    return names;
}

// "Name=Id" of every child, in order.
juce::String describeChildren (const juce::XmlElement& element)
{
    juce::StringArray parts;
    for (auto* child : element.getChildIterator())
        parts.add (child->getStringAttribute ("Name") + "=" + child->getStringAttribute ("Id"));
    return parts.joinIntoString (",");
}

const char* const deviceText = R"(<Device name="Main">
  <CORVADINE Name="Doc">
    <EFFECT Name="EQ1 Preset" Id="22">
      <PARAMETER Name="Gain" Id="0" DisplayValue="0.0 dB" StepValue="240"/>
      <PARAMETER Name="Freq" Id="1" DisplayValue="1 kHz" StepValue="34"/>
      <PARAMETER Name="Q" Id="2" DisplayValue="1.0" StepValue="10"/>
    </EFFECT>
    <EFFECT Name="EQ3 Preset" Id="64"/>
    <MODIFIER Name="Mod" Id="4"/>
  </CORVADINE>
</Device>)";
} // namespace

TEST (SettingsLookups, FindChildByIdTriesIdThenLowerCaseId)
{
    auto parent = parse (R"(<P>
        <EFFECT Id="3" id="7" Name="a"/>
        <EFFECT Id="7" Name="b"/>
        <effect id="9" Name="c"/>
        <EFFECT Name="d"/>
        <OTHER Id="5"/>
    </P>)");

    // Each child is tried with both attributes before the next child.
    EXPECT_EQ (findChildById (*parent, "EFFECT", 7)->getStringAttribute ("Name"), "a");
    EXPECT_EQ (findChildById (*parent, "EFFECT", 3)->getStringAttribute ("Name"), "a");
    // Tags match without regard to case.
    EXPECT_EQ (findChildById (*parent, "EFFECT", 9)->getStringAttribute ("Name"), "c");
    // A missing attribute reads as -1.
    EXPECT_EQ (findChildById (*parent, "EFFECT", -1)->getStringAttribute ("Name"), "d");
    EXPECT_EQ (findChildById (*parent, "EFFECT", 5), nullptr);
    EXPECT_EQ (findChildById (*parent, "OTHER", 5)->getStringAttribute ("Id"), "5");
}

TEST (SettingsLookups, FindChildByIdAndNameComparesExactTexts)
{
    auto parent = parse (R"(<P>
        <PARAMETER Name="Gain" Id="07"/>
        <PARAMETER Name="Gain" Id="7"/>
        <PARAMETER name="Freq" id="2"/>
        <PARAMETER Name="Q" Id="3" id="4"/>
    </P>)");

    auto* seven = findChildByIdAndName (*parent, "PARAMETER", "Gain", "7");
    ASSERT_NE (seven, nullptr);
    EXPECT_EQ (seven, parent->getChildElement (1));
    EXPECT_EQ (findChildByIdAndName (*parent, "PARAMETER", "Gain", "07"), parent->getChildElement (0));
    EXPECT_EQ (findChildByIdAndName (*parent, "PARAMETER", "gain", "7"), nullptr);
    EXPECT_EQ (findChildByIdAndName (*parent, "PARAMETER", "Freq", "2"), parent->getChildElement (2));
    // "Id" wins over "id" when both are present.
    EXPECT_EQ (findChildByIdAndName (*parent, "PARAMETER", "Q", "4"), nullptr);
    EXPECT_EQ (findChildByIdAndName (*parent, "PARAMETER", "Q", "3"), parent->getChildElement (3));
}

TEST (SettingsLookups, EffectLookupsSearchTheSettingsChild)
{
    auto device = parse (deviceText);
    auto* settings = device->getChildByName ("CORVADINE");

    EXPECT_EQ (findEffectById (*device, 64), settings->getChildElement (1));
    EXPECT_EQ (findEffectById (*device, 4), nullptr); // a MODIFIER is no effect
    EXPECT_EQ (findEffectByIdAndName (*device, "EQ1 Preset", 22), settings->getChildElement (0));
    EXPECT_EQ (findEffectByIdAndName (*device, "EQ1 Preset", 64), nullptr);

    juce::XmlElement bare ("Device");
    EXPECT_EQ (findEffectById (bare, 22), nullptr);
    EXPECT_EQ (findEffectByIdAndName (bare, "EQ1 Preset", 22), nullptr);
}

TEST (ApplicationText, RevisionAndChildTexts)
{
    auto application = parse ("<Application><Title>Old</Title><Author/><Device name=\"A\"/></Application>");

    EXPECT_EQ (getSvnRevision (*application), 0);
    setSvnRevision (*application, 927);
    EXPECT_EQ (getSvnRevision (*application), 927);
    EXPECT_EQ (application->getChildByName ("SvnRevision")->getAllSubText(), "927");
    setSvnRevision (*application, 764);
    EXPECT_EQ (application->getNumChildElements(), 4); // the same child, not a second one
    EXPECT_EQ (getSvnRevision (*application), 764);

    setApplicationTitle (*application, "New");
    setApplicationAuthor (*application, "Me");
    setApplicationDescription (*application, "Two rooms");
    EXPECT_EQ (application->getChildByName ("Title")->getAllSubText(), "New");
    EXPECT_EQ (application->getChildByName ("Author")->getAllSubText(), "Me");
    // A missing child is appended at the end, after the devices.
    EXPECT_EQ (application->getChildElement (4)->getTagName(), "Description");
    EXPECT_EQ (application->getChildElement (4)->getAllSubText(), "Two rooms");

    // A child whose first node is an element is left alone.
    auto marked = parse ("<Application><Title><b/>x</Title></Application>");
    setApplicationTitle (*marked, "New");
    EXPECT_EQ (marked->getChildByName ("Title")->getAllSubText(), "x");
}

TEST (ChannelRenumbering, RouterGainsFollowTheChannel)
{
    auto router = parse (R"(<EFFECT Name="Router Preset" Id="0">
        <PARAMETER Name="Input Gain 1" Id="0"/>
        <PARAMETER Name="Output Gain 1A" Id="4"/>
        <PARAMETER Name="Clip Level" Id="8"/>
        <PARAMETER Name="Output Gain 1B" Id="9"/>
        <PARAMETER Name="Output Gain 1C" Id="13"/>
        <PARAMETER Name="Output Gain 1D" Id="17"/>
        <PARAMETER Name="Input Gain 2" Id="1"/>
    </EFFECT>)");

    ASSERT_TRUE (renumberChannelEffects (*router, 2));
    EXPECT_EQ (describeChildren (*router), "Input Gain 3=2,Output Gain 3A=6,Clip Level=8,Output Gain 3B=11,"
                                           "Output Gain 3C=15,Output Gain 3D=19,Input Gain 2=1");
    EXPECT_EQ (router->getStringAttribute ("Id"), "0");
    // Name stays the first attribute and Id the second: the merge reads them by position.
    EXPECT_EQ (attributeNames (*router->getChildElement (0)), juce::StringArray ("Name", "Id"));

    auto volume = parse (R"(<EFFECT Name="Router1 Preset" Id="32"><PARAMETER Name="Volume 1" Id="0"/>
                            <PARAMETER Name="Volume 2" Id="1"/></EFFECT>)");
    ASSERT_TRUE (renumberChannelEffects (*volume, 3));
    EXPECT_EQ (describeChildren (*volume), "Volume 4=3,Volume 2=1");
}

TEST (ChannelRenumbering, SingleChannelEffectsTakeTheirFamilyIds)
{
    struct Case
    {
        const char* source;
        const char* stem;
        int ids[4];
    };
    const Case cases[] = {
        { "PEQ1 Preset", "PEQ", { 12, 14, 16, 18 } },
        { "EQ1 Preset", "EQ", { 22, 24, 64, 66 } },
        { "QMX1 Preset", "QMX", { 26, 28, 68, 70 } },
        { "Apm1 Preset", "Apm", { 34, 36, 72, 74 } },
        { "SingleBand1 Preset", "SingleBand", { 78, 80, 82, 84 } },
    };

    for (auto& c : cases)
        for (int channel = 0; channel < 4; ++channel)
        {
            juce::XmlElement effect ("EFFECT");
            effect.setAttribute ("Name", c.source);
            effect.setAttribute ("Id", 1);
            ASSERT_TRUE (renumberChannelEffects (effect, channel));
            EXPECT_EQ (effect.getStringAttribute ("Name"),
                       juce::String (c.stem) + juce::String (channel + 1) + " Preset");
            EXPECT_EQ (effect.getIntAttribute ("Id"), c.ids[channel]) << c.source << " channel " << channel;
        }
}

TEST (ChannelRenumbering, OtherEffectsAndBadChannelsChangeNothing)
{
    for (auto* name : { "PEQ2 Preset", "eq1 Preset", "Delay1 Preset", "Matrix4x4 Preset" })
    {
        juce::XmlElement effect ("EFFECT");
        effect.setAttribute ("Name", name);
        effect.setAttribute ("Id", 14);
        const juce::XmlElement before (effect);
        EXPECT_TRUE (renumberChannelEffects (effect, 1));
        EXPECT_TRUE (effect.isEquivalentTo (&before, false)) << name;
    }

    auto router =
        parse (R"(<EFFECT Name="Router Preset" Id="0"><PARAMETER Name="Input Gain 1" Id="0"/></EFFECT>)");
    auto eq = parse (R"(<EFFECT Name="EQ1 Preset" Id="22"/>)");
    const juce::XmlElement routerBefore (*router), eqBefore (*eq);
    for (int channel : { -1, 4, 1000 })
    {
        EXPECT_FALSE (renumberChannelEffects (*router, channel));
        EXPECT_FALSE (renumberChannelEffects (*eq, channel));
    }
    EXPECT_TRUE (router->isEquivalentTo (&routerBefore, false));
    EXPECT_TRUE (eq->isEquivalentTo (&eqBefore, false));
}

TEST (EffectMerge, ReplacesInPlaceAndAppendsWhatIsNew)
{
    auto device = parse (deviceText);
    auto source = parse (R"(<EFFECT Name="EQ1 Preset" Id="22">
        <PARAMETER Name="Q" Id="2" DisplayValue="2.0" StepValue="20"/>
        <PARAMETER Name="Gain" Id="0" DisplayValue="3.0 dB" StepValue="270"/>
        <PARAMETER Name="Type" Id="3" DisplayValue="Bell" StepValue="1"/>
    </EFFECT>)");

    copyEffectInto (*device, *source);

    auto* effect = findEffectById (*device, 22);
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (device->getChildByName ("CORVADINE")->getNumChildElements(), 3);
    // Existing parameters keep their place, untouched ones stay, new ones go last.
    EXPECT_EQ (describeChildren (*effect), "Gain=0,Freq=1,Q=2,Type=3");
    EXPECT_EQ (effect->getChildElement (0)->getStringAttribute ("StepValue"), "270");
    EXPECT_EQ (effect->getChildElement (1)->getStringAttribute ("StepValue"), "34");
    EXPECT_EQ (effect->getChildElement (2)->getStringAttribute ("DisplayValue"), "2.0");
    EXPECT_EQ (source->getNumChildElements(), 3); // the caller keeps the source

    // An effect of the document merged into itself leaves the document as it was.
    const juce::XmlElement before (*device);
    copyEffectInto (*device, *effect);
    EXPECT_TRUE (device->isEquivalentTo (&before, false));
}

TEST (EffectMerge, NewEffectGetsNameAndIdThenParametersInOrder)
{
    auto device = parse (deviceText);
    // Name and Id are read by position: the source may call them anything.
    auto source = parse (R"(<EFFECT Label="Apm1 Preset" Number="34">
        <PARAMETER Name="V Lim" Id="7" DisplayValue="50.0 V" StepValue="500"/>
        <PARAMETER Name="R Out" Id="4" DisplayValue="8.0" StepValue="80"/>
    </EFFECT>)");

    copyEffectInto (*device, *source);

    auto* effect = findEffectByIdAndName (*device, "Apm1 Preset", 34);
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (device->getChildByName ("CORVADINE")->getChildElement (3), effect);
    EXPECT_EQ (attributeNames (*effect), juce::StringArray ("Name", "Id"));
    EXPECT_EQ (describeChildren (*effect), "V Lim=7,R Out=4");
    EXPECT_EQ (effect->getChildElement (0)->getStringAttribute ("StepValue"), "500");
}

TEST (PresetMerge, RenumbersEffectsForTheChannelAndLeavesThePreset)
{
    auto device = parse (deviceText);
    auto preset = parse (R"(<CORVADINE Name="Low Cut" Id="2">
        <EFFECT Name="EQ1 Preset" Id="22"><PARAMETER Name="Gain" Id="0" DisplayValue="-6.0 dB" StepValue="180"/></EFFECT>
        <EFFECT Name="Apm1 Preset" Id="34"><PARAMETER Name="V Lim" Id="7" DisplayValue="40.0 V" StepValue="400"/></EFFECT>
        <MODIFIER Name="Mod 3  Preset" Id="4"/>
    </CORVADINE>)");
    const juce::XmlElement presetBefore (*preset);

    ASSERT_TRUE (mergePresetIntoChannel (*device, *preset, 2));

    EXPECT_TRUE (preset->isEquivalentTo (&presetBefore, false));
    auto* settings = device->getChildByName ("CORVADINE");
    EXPECT_EQ (describeChildren (*settings), "EQ1 Preset=22,EQ3 Preset=64,Mod=4,Apm3 Preset=72");
    EXPECT_EQ (findEffectById (*device, 64)->getChildElement (0)->getStringAttribute ("StepValue"), "180");
    EXPECT_EQ (findEffectById (*device, 72)->getChildElement (0)->getStringAttribute ("StepValue"), "400");
    // The channel-1 effect of the document is not touched.
    EXPECT_EQ (findEffectById (*device, 22)->getChildElement (0)->getStringAttribute ("StepValue"), "240");
}

TEST (PresetMerge, ReadBackEffectsWithoutNamesAreMatchedById)
{
    // A device read back from an amplifier: no names anywhere.
    auto device = parse (R"(<Device><CORVADINE>
        <EFFECT Id="64"><PARAMETER Id="0" StepValue="240"/><PARAMETER Id="1" StepValue="34"/></EFFECT>
        <EFFECT Id="72"><PARAMETER Id="7" StepValue="500"/></EFFECT>
        <EFFECT Name="SingleBand3 Preset" Id="82"><PARAMETER Name="Gain" Id="1" StepValue="3"/></EFFECT>
    </CORVADINE></Device>)");
    auto preset = parse (R"(<CORVADINE Name="Low Cut" Id="2">
        <EFFECT Name="EQ1 Preset" Id="22"><PARAMETER Name="Gain" Id="0" DisplayValue="-6.0 dB" StepValue="180"/></EFFECT>
        <EFFECT Name="Apm1 Preset" Id="34"><PARAMETER Name="V Lim" Id="7" StepValue="400"/>
            <PARAMETER Name="R Out" Id="4" StepValue="80"/></EFFECT>
        <EFFECT Name="Other" Id="82"><PARAMETER Name="Gain" Id="1" StepValue="9"/></EFFECT>
    </CORVADINE>)");

    ASSERT_TRUE (mergePresetIntoChannel (*device, *preset, 2));

    auto* settings = device->getChildByName ("CORVADINE");
    EXPECT_EQ (describeChildren (*settings), "=64,=72,SingleBand3 Preset=82,Other=82")
        << "named effects still need their name";
    EXPECT_EQ (describeChildren (*findEffectById (*device, 64)), "Gain=0,=1");
    EXPECT_EQ (findEffectById (*device, 64)->getChildElement (0)->getStringAttribute ("StepValue"), "180");
    EXPECT_EQ (describeChildren (*findEffectById (*device, 72)), "V Lim=7,R Out=4");
    EXPECT_EQ (findEffectById (*device, 72)->getChildElement (0)->getStringAttribute ("StepValue"), "400");
}

TEST (PresetMerge, RefusedMergesChangeNothing)
{
    auto device = parse (deviceText);
    const juce::XmlElement before (*device);
    auto preset = parse (R"(<CORVADINE><EFFECT Name="EQ1 Preset" Id="22"/></CORVADINE>)");
    auto notSettings = parse (R"(<Device><EFFECT Name="EQ1 Preset" Id="22"/></Device>)");

    EXPECT_FALSE (mergePresetIntoChannel (*device, *notSettings, 0));
    EXPECT_FALSE (mergePresetIntoChannel (*device, *preset, 4));
    EXPECT_FALSE (mergePresetIntoChannel (*device, *preset, -1));
    EXPECT_TRUE (device->isEquivalentTo (&before, false));

    juce::XmlElement bare ("Device");
    EXPECT_FALSE (mergePresetIntoChannel (bare, *preset, 0));
    EXPECT_EQ (bare.getNumChildElements(), 0);
}

TEST (EqPresets, FirstEffectMustMatchTheCategory)
{
    auto output =
        parse (R"(<CORVADINE><EFFECT Name="EQ1 Preset" Id="22"/><EFFECT Name="PEQ1 Preset"/></CORVADINE>)");
    auto input = parse (R"(<CORVADINE><EFFECT Name="PEQ1 Preset" Id="12"/></CORVADINE>)");
    juce::XmlElement empty ("CORVADINE");

    EXPECT_TRUE (isEqPresetEffect (2, *output));
    EXPECT_FALSE (isEqPresetEffect (6, *output));
    EXPECT_TRUE (isEqPresetEffect (6, *input));
    EXPECT_FALSE (isEqPresetEffect (2, *input));
    EXPECT_FALSE (isEqPresetEffect (9, *output));
    EXPECT_FALSE (isEqPresetEffect (2, empty));
}

TEST (DuplicateRemoval, KeepsTheFirstEffectOfEachId)
{
    auto settings = parse (R"(<CORVADINE Name="Doc" Id="5">
        <EFFECT Name="EQ1 Preset" Id="22"/>
        <MODIFIER Name="m1" Id="4"/>
        <EFFECT Name="EQ1 again" Id="22"/>
        <MODIFIER Name="m2" Id="4"/>
        <EFFECT Name="no id"/>
        <EFFECT Name="zero" Id="0"/>
        <EFFECT Name="PEQ1 Preset" Id="12"><PARAMETER Name="Gain" Id="0"/></EFFECT>
    </CORVADINE>)");

    auto copy = copyChildrenById (*settings, "EFFECT");

    EXPECT_EQ (copy->getTagName(), "CORVADINE");
    EXPECT_EQ (copy->getNumAttributes(), 0);
    // A missing Id counts as 0.
    EXPECT_EQ (describeChildren (*copy), "EQ1 Preset=22,m1=4,m2=4,no id=,PEQ1 Preset=12");
    EXPECT_EQ (copy->getChildElement (4)->getNumChildElements(), 1);
    EXPECT_EQ (settings->getNumChildElements(), 7);
}

TEST (DefaultSettings, IsAFreshEmptyDocumentEveryTime)
{
    const auto expected =
        "<CORVADINE Name=\"ZELTA Device CV\" ProductName=\"Zelta 120/2M\" ProductModelId=\"4\" "
        "SVNRev=\"\" CorvadineRev=\"2\" Id=\"5\"/>";
    const auto format = juce::XmlElement::TextFormat().withoutHeader().singleLine();

    auto first = createDefaultSettingsDocument();
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->toString (format), expected);

    first->createNewChildElement ("EFFECT");
    first->setAttribute ("Name", "Changed");
    EXPECT_EQ (createDefaultSettingsDocument()->toString (format), expected);
}
