#include "editors/MatrixComponent.h"

#include "document/SettingsDocument.h"
#include "look/ColourScheme.h"

namespace
{
constexpr int rowGap = 15;
constexpr int leftMargin = 30;
constexpr int topMargin = 15;
constexpr float labelFontHeight = 19.0f;
constexpr int gridSize = 150;
constexpr float pointSize = (150.0f - 35.0f) / 4.0f;
constexpr float pointPitch = pointSize + 5.0f;

const char* const noSelection = "No selection";
const char* const inputNames[] = { "IN1", "IN2", "IN3", "IN4" };
const char* const outputNames[] = { "SPK1", "SPK2", "OUT3", "OUT4" };

// The level a PARAMETER holds, read by name: its StepValue (half dB, what the
// amplifier gets), else its DisplayValue; off when it holds neither.
float storedLevel (const juce::XmlElement& parameter)
{
    if (parameter.hasAttribute ("StepValue"))
        return 0.5f * (float)parameter.getIntAttribute ("StepValue");

    if (parameter.hasAttribute ("DisplayValue"))
        return parameter.getStringAttribute ("DisplayValue").getFloatValue();

    return PatchPoint::offLevel;
}

// The stored level limited to what a point can show.
float readLevel (const juce::XmlElement& parameter)
{
    const auto level = storedLevel (parameter);
    return level == PatchPoint::markedLevel ? level : juce::jlimit (PatchPoint::offLevel, 0.0f, level);
}

juce::String levelText (float level)
{
    return juce::String::formatted ("%.1f", (double)level) + " dB";
}
} // namespace

MatrixComponent::MatrixComponent (juce::XmlElement* elementToEdit, const PresetLibrary* presetLibrary,
                                  const DeviceFamily& familyRow, juce::uint8 firstParameter,
                                  juce::int16 presetId)
    : SetupComponent (elementToEdit, presetLibrary, familyRow), firstParameterId (firstParameter)
{
    applyColourScheme (lookAndFeel);

    heading.setText ("MATRIX", juce::dontSendNotification);
    addHeading (heading);

    presetsLabel.setText ("PRESETS", juce::dontSendNotification);
    presetsLabel.setFont (juce::Font (10.0f, juce::Font::plain));
    presetsLabel.setColour (juce::Label::textColourId, juce::Colours::grey);
    presetBox.setLookAndFeel (&lookAndFeel);

    if (presets != nullptr)
        suitablePresets = collectMatrixPresets (family.inputs, family.outputs, *presets);

    const bool devicePage = element != nullptr && element->getTagName() == "Device";

    if (devicePage)
        matrixEffect = findEffectById (*element, matrixEffectId);
    else if (element != nullptr && isMatrixStepEffect (*element))
        matrixEffect = element;

    // A device without a matrix EFFECT is shown, not repaired: its page state
    // stays out of the document too.
    if (devicePage && matrixEffect != nullptr)
        state = findOrCreatePageState ("MatrixSelection");

    if (state == nullptr)
    {
        privateState = std::make_unique<juce::XmlElement> ("MatrixSelection");
        state = privateState.get();
    }

    if (matrixEffect != nullptr)
        effectAtBuild = std::make_unique<juce::XmlElement> (*matrixEffect);

    for (int k = 0; k < numPoints; ++k)
    {
        auto& point = points[(size_t)k];
        point = std::make_unique<PatchPoint> (k, readPointLevel (k));
        point->enabled = point->getInput() < family.inputs && point->getOutput() < family.outputs &&
                         findParameter (k) != nullptr;
        point->addListener (this);
    }

    points[0]->selected = true;

    for (int i = 0; i < juce::jmin (family.inputs, 4); ++i)
        inputLabelAreas.add ({ 0, 0, 50, 19 });

    for (int j = 0; j < juce::jmin (family.outputs, 4); ++j)
        outputLabelAreas.add ({ 0, 0, 50, 19 });

    levelSlider.setSliderStyle (juce::Slider::LinearVertical);
    levelSlider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 40, 30);
    levelSlider.setRange (-30.0, 0.0, 0.5);
    levelSlider.addListener (this);
    addAndMakeVisible (levelSlider);

    addAndMakeVisible (presetBox);
    presetsLabel.attachToComponent (&presetBox, false);

    for (int i = 0; i < suitablePresets.size(); ++i)
        presetBox.addItem (suitablePresets[i]->getStringAttribute ("Name"),
                           suitablePresets[i]->getIntAttribute ("Id"));

    presetBox.addListener (this);

    // The stored choice is shown as it is: applying it again would overwrite the
    // levels the document holds. A choice that was never stored shows none,
    // since no preset was applied.
    const auto* stored = findChildById (*state, "ComboBox", 0);
    const int idToShow =
        presetId != noPresetId ? (int)presetId : (stored != nullptr ? stored->getIntAttribute ("SelId") : 0);
    presetBox.setSelectedId (idToShow, juce::dontSendNotification);
    const auto shownText = presetBox.getText();
    storePresetChoice (shownText.isEmpty() ? juce::String (noSelection) : shownText,
                       presetBox.getSelectedId());

    // Only the MATRIX page keeps a snapshot; taken now, after the page state was
    // normalised, so that building the page is no change.
    if (devicePage)
        takeSnapshot (state);

    updateControlsEnabled();
    updateLevelSlider();
}

MatrixComponent::~MatrixComponent()
{
    presetBox.setLookAndFeel (nullptr);
}

bool MatrixComponent::isMatrixStepEffect (const juce::XmlElement& candidate)
{
    if (candidate.getTagName() != "EFFECT")
        return false;

    const int id = candidate.getIntAttribute ("Id");
    return candidate.getStringAttribute ("Name").contains ("Matrix Step") || id == 2 || id == 4 || id == 6 ||
           id == 8;
}

bool MatrixComponent::isModified()
{
    if (!hasSnapshot())
        return true;

    const bool effectChanged =
        matrixEffect != nullptr && effectAtBuild != nullptr && !isSameState (*matrixEffect, *effectAtBuild);
    return differsFromSnapshot (state) || effectChanged;
}

bool MatrixComponent::consumeChangeFlag()
{
    return std::exchange (changed, false);
}

void MatrixComponent::setControlledByGpi (bool controlled)
{
    controlledByGpi = controlled;
    updateControlsEnabled();
    repaint();
}

void MatrixComponent::updateControlsEnabled()
{
    presetBox.setEnabled (!controlledByGpi && matrixEffect != nullptr);
    levelSlider.setVisible (!controlledByGpi);
}

void MatrixComponent::applyGpiInputMask (juce::uint8 editableOutputs)
{
    for (auto& point : points)
        point->marked = (editableOutputs & (1 << point->getOutput())) == 0;

    for (auto& point : points)
        writePointLevel (point->getId(), levelToWrite (*point));

    editableOutputMask = editableOutputs;
    updateLevelSlider();
    repaint();
}

float MatrixComponent::levelToWrite (const PatchPoint& point)
{
    if (point.marked)
        return PatchPoint::markedLevel;

    return point.on && point.enabled ? point.getLevel() : PatchPoint::offLevel;
}

void MatrixComponent::setSelectedPresetId (int presetId, juce::NotificationType notification)
{
    presetBox.setSelectedId (presetId, notification);
}

void MatrixComponent::detachFromDocument()
{
    matrixEffect = nullptr;

    if (privateState == nullptr)
        privateState = std::make_unique<juce::XmlElement> (*state);

    state = privateState.get();
    forgetElement();

    for (auto& point : points)
        point->enabled = false;

    updateControlsEnabled();
    updateLevelSlider();
    repaint();
}

//==============================================================================
juce::XmlElement* MatrixComponent::findParameter (int pointId) const
{
    if (matrixEffect == nullptr)
        return nullptr;

    return findChildById (*matrixEffect, "PARAMETER", firstParameterId + pointId);
}

float MatrixComponent::readPointLevel (int pointId) const
{
    auto* parameter = findParameter (pointId);
    return parameter != nullptr ? readLevel (*parameter) : PatchPoint::offLevel;
}

void MatrixComponent::writePointLevel (int pointId, float level)
{
    auto* parameter = findParameter (pointId);

    if (parameter == nullptr)
        return;

    // A level that is already there is left alone, so that showing a document in
    // another form (the settings-block reader writes no DisplayValue) changes nothing.
    if (storedLevel (*parameter) == level)
        return;

    parameter->setAttribute ("DisplayValue", levelText (level));
    parameter->setAttribute ("StepValue", (int)(2.0f * level));
}

void MatrixComponent::storePresetChoice (const juce::String& name, int presetId)
{
    storeWidget (*state, "ComboBox", 0, name, &presetId);
}

void MatrixComponent::clearPresetChoice()
{
    if (presetBox.getSelectedId() <= 0)
        return;

    presetBox.setSelectedId (0, juce::dontSendNotification);
    storePresetChoice (noSelection, 0);
}

void MatrixComponent::connect (PatchPoint& point)
{
    point.on = true;
    point.notifyListeners();

    if (point.getLevel() == PatchPoint::offLevel)
        point.setLevel (0.0f, true);
}

void MatrixComponent::updateLevelSlider()
{
    auto& point = *points[(size_t)selectedPoint];
    // Not notified: showing a level is no edit.
    levelSlider.setValue (point.getLevel(), juce::dontSendNotification);
    levelSlider.setEnabled (point.on && point.enabled && !point.marked);
}

//==============================================================================
void MatrixComponent::mouseUp (const juce::MouseEvent& e)
{
    if (controlledByGpi)
        return;

    const auto pressed = e.mouseDownPosition;
    int clicked = -1;

    for (int k = 0; k < numPoints; ++k)
        if (pointAreas[(size_t)k].contains (pressed))
        {
            clicked = k;
            break;
        }

    if (clicked < 0)
        return;

    auto& point = *points[(size_t)clicked];

    if (point.marked || !point.enabled)
        return;

    if (clicked == selectedPoint)
    {
        if (point.on)
        {
            point.on = false;
            point.notifyListeners();
        }
        else
        {
            connect (point);
        }
    }
    else
    {
        for (auto& other : points)
            other->selected = false;

        point.selected = true;
        selectedPoint = clicked;

        if (!point.on)
            connect (point);
    }

    updateLevelSlider();
    repaint();
    changed = true;
}

void MatrixComponent::patchPointChanged (PatchPoint& point)
{
    writePointLevel (point.getId(), levelToWrite (point));
    clearPresetChoice();
}

void MatrixComponent::sliderValueChanged (juce::Slider* slider)
{
    if (slider != &levelSlider)
        return;

    auto& point = *points[(size_t)selectedPoint];
    const auto level = (float)levelSlider.getValue();

    // Only a connected point that is edited here has a level to set.
    if (!point.on || !point.enabled || point.marked || level == point.getLevel())
        return;

    point.setLevel (level, true);
    clearPresetChoice();
    changed = true;
}

void MatrixComponent::comboBoxChanged (juce::ComboBox* box)
{
    if (box != &presetBox || presetBox.getSelectedId() <= 0 || matrixEffect == nullptr)
        return;

    const auto* preset = suitablePresets[presetBox.getSelectedItemIndex()];

    if (preset == nullptr)
        return;

    const auto keptMask = editableOutputMask;
    applyGpiInputMask (allOutputs);
    storePresetChoice (presetBox.getText(), presetBox.getSelectedId());
    applyPreset (*preset);
    reloadPointsFromEffect();
    applyGpiInputMask (keptMask);
    changed = true;
}

void MatrixComponent::applyPreset (const juce::XmlElement& preset)
{
    const auto* presetEffect = preset.getChildByName ("EFFECT");

    if (presetEffect == nullptr)
        return;

    // Matched by Id, not by position: a document missing one PARAMETER must not
    // shift the levels of the others onto the wrong crosspoints.
    for (int k = 0; k < numPoints; ++k)
    {
        const auto* source = findChildById (*presetEffect, "PARAMETER", k);
        auto* target = findParameter (k);

        if (source == nullptr || target == nullptr)
            continue;

        for (const auto* name : { "DisplayValue", "StepValue" })
            if (source->hasAttribute (name))
                target->setAttribute (name, source->getStringAttribute (name));
    }
}

void MatrixComponent::reloadPointsFromEffect()
{
    for (auto& point : points)
    {
        const auto* parameter = findParameter (point->getId());

        if (parameter == nullptr)
            continue;

        const auto level = readLevel (*parameter);
        const bool off = level == PatchPoint::offLevel || level == PatchPoint::markedLevel;
        point->setLevel (off ? 0.0f : level, false);
        point->on = !off;
    }
}

//==============================================================================
void MatrixComponent::resized()
{
    heading.setBounds (leftMargin, topMargin, getWidth() - 2 * leftMargin, (int)labelFontHeight);

    const int gx = proportionOfWidth (0.5f) - gridSize / 2;
    const int gy = proportionOfHeight (0.5f) - gridSize / 2;
    gridArea = { gx, gy, gridSize, gridSize };

    for (int k = 0; k < numPoints; ++k)
        pointAreas[(size_t)k] = { (float)gx + 10.0f + (float)(k >> 2) * pointPitch,
                                  (float)gy + 10.0f + (float)(k & 3) * pointPitch, pointSize, pointSize };

    for (int i = 0; i < inputLabelAreas.size(); ++i)
        inputLabelAreas.getReference (i) = { gx - 60, gy + 10 + (int)((float)i * pointPitch), 50,
                                             (int)pointSize };

    for (int j = 0; j < outputLabelAreas.size(); ++j)
        outputLabelAreas.getReference (j) = { gx + 10, gy + 10 + (int)((float)j * pointPitch), 50,
                                              (int)pointSize };

    levelSlider.setBounds (proportionOfWidth (0.9f) - 20, proportionOfHeight (0.5f) - 75, 40, gridSize);
    presetBox.setBounds (leftMargin, gy + gridSize + 3 * rowGap, getWidth() - 2 * leftMargin, 25);
}

void MatrixComponent::paint (juce::Graphics& g)
{
    const auto background = findColour (juce::ResizableWindow::backgroundColourId, false);
    const auto accent = findColour (accentColourId, false);

    g.fillAll (juce::Colours::white);

    if (isOnMatrixPage())
    {
        g.setColour (background);
        g.drawHorizontalLine (0, 0.0f, (float)getWidth());
    }

    g.setColour (background);
    g.drawRoundedRectangle (gridArea.toFloat(), 5.0f, 3.0f);

    if (controlledByGpi)
    {
        g.fillAll (juce::Colours::white.withAlpha (0.75f));
        g.setColour (background);
        g.drawFittedText ("MATRIX\nCONTROLLED\n BY GPI", gridArea, juce::Justification::centred, 3, 0.7f);
    }
    else
    {
        for (int k = 0; k < numPoints; ++k)
            points[(size_t)k]->paint (g, pointAreas[(size_t)k], background, accent);
    }

    g.setFont (juce::Font (labelFontHeight, juce::Font::bold));
    g.setColour (juce::Colours::black);

    for (int i = 0; i < inputLabelAreas.size(); ++i)
        g.drawText (inputNames[i], inputLabelAreas[i], juce::Justification::centredRight, false);

    g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi,
                                                     (float)gridArea.getX(), (float)gridArea.getY()));

    for (int j = 0; j < outputLabelAreas.size(); ++j)
        g.drawText (outputNames[j], outputLabelAreas[j], juce::Justification::centredLeft, false);
}
