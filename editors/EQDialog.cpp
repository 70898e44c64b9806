#include "editors/EQDialog.h"

#include "document/SettingsDocument.h"
#include "editors/BarSlider.h"
#include "editors/EqPresetFiles.h"
#include "platform/UserInteraction.h"
#include "look/ColourScheme.h"

namespace
{
// Bit 0 gain, bit 1 frequency, bit 2 width: the values each filter type uses.
constexpr juce::uint8 eqTypeControlMask[numEqTypes] = { 2, 2, 3, 3, 3, 3, 7, 3, 3, 3, 3, 2, 2 };
// A type the table does not know keeps every value open to the user.
constexpr juce::uint8 allControls = 7;

constexpr double maxPower = 120.0;
constexpr double startVoltage = 50.0;
constexpr double startImpedance = 4.0;

// The table rows of a band: type 4b, gain 4b + 1, frequency 4b + 2, width 4b + 3.
int typeRowOf (int band)
{
    return 4 * band;
}

void setupLimiterSlider (juce::Slider& slider, juce::LookAndFeel& look, const juce::String& suffix,
                         double maximum, double minimum)
{
    setupBarSlider (slider, look, minimum, maximum, 0.1, suffix);
    const auto outline = slider.findColour (accentColourId, false).brighter (0.4f);
    slider.setColour (juce::Slider::textBoxOutlineColourId, outline);
    slider.setColour (juce::Slider::textBoxHighlightColourId, outline);
}

int toTenths (double value)
{
    return juce::roundToInt (value * 10.0);
}
} // namespace

EQDialog::EQDialog (const PresetLibrary& library, int dialogMode, UserInteraction& userToAsk,
                    const juce::File& documentsFolder)
    : user (userToAsk),
      presetList (library, dialogMode == outputMode ? outputEqPresetCategory : inputEqPresetCategory,
                  dialogMode == outputMode ? getOutputEqPresetsFolder (documentsFolder)
                                           : getInputEqPresetsFolder (documentsFolder)),
      mode (dialogMode)
{
    applyColourScheme (sliderLook);
    applyColourScheme (flatLook);

    for (auto* button : { &okButton, &saveButton, &cancelButton })
    {
        addAndMakeVisible (button);
        button->addListener (this);
    }
    saveButton.setEnabled (false);

    presetCombo.setLookAndFeel (&flatLook);
    fillPresetCombo();
    // Applied once the message loop runs, when the band controls exist.
    presetCombo.setSelectedId (1, juce::sendNotificationAsync);
    addAndMakeVisible (presetCombo);
    presetCombo.addListener (this);

    for (int band = 0; band < numBands; ++band)
    {
        auto* typeButton = typeButtons.add (new EQTypeButton());
        addAndMakeVisible (typeButton);
        typeButton->addListener (this);

        const int row = typeRowOf (band);
        gainSliders.add (createEqSlider (row + 1));
        frequencySliders.add (createEqSlider (row + 2));
        widthSliders.add (createEqSlider (row + 3));
        updateBandControls (band);
    }

    if (mode == outputMode)
    {
        limiterButton = std::make_unique<EQTypeButton>();
        limiterButton->setType (limiterEqType);
        limiterButton->setEnabled (false);
        addAndMakeVisible (*limiterButton);

        voltageSlider = std::make_unique<juce::Slider>();
        impedanceSlider = std::make_unique<juce::Slider>();
        powerSlider = std::make_unique<juce::Slider>();
        setupLimiterSlider (*voltageSlider, sliderLook, " Vpk", maxLimiterVoltageTenths / 10.0, 0.0);
        setupLimiterSlider (*impedanceSlider, sliderLook, " Ohm", maxLimiterImpedanceTenths / 10.0,
                            minLimiterImpedanceTenths / 10.0);
        setupLimiterSlider (*powerSlider, sliderLook, " W", maxPower, 0.0);
        voltageSlider->setValue (startVoltage, juce::dontSendNotification);
        impedanceSlider->setValue (startImpedance, juce::dontSendNotification);
        powerSlider->setEnabled (false);
        powerSlider->textFromValueFunction = [this] (double) { return juce::String (power, 1); };

        for (auto* slider : { voltageSlider.get(), impedanceSlider.get(), powerSlider.get() })
        {
            slider->addListener (this);
            addAndMakeVisible (*slider);
        }

        updatePower();
    }
}

EQDialog::~EQDialog()
{
    presetCombo.setLookAndFeel (nullptr);

    for (auto* sliders : { &gainSliders, &frequencySliders, &widthSliders })
        for (auto* slider : *sliders)
            slider->setLookAndFeel (nullptr);

    for (auto* slider : { voltageSlider.get(), impedanceSlider.get(), powerSlider.get() })
        if (slider != nullptr)
            slider->setLookAndFeel (nullptr);
}

EQSlider* EQDialog::createEqSlider (int row)
{
    auto* slider = new EQSlider (row);
    slider->setLookAndFeel (&sliderLook);
    slider->addListener (this);
    addAndMakeVisible (slider);
    return slider;
}

void EQDialog::setBands (const juce::XmlElement* eqEffect, int presetId)
{
    showEffect (eqEffect, presetId, &EQDialog::applyBands, &EQDialog::forgetBands);
}

void EQDialog::setLimiter (const juce::XmlElement* limiterEffect, int presetId)
{
    showEffect (limiterEffect, presetId, &EQDialog::applyLimiter, &EQDialog::forgetLimiter);
}

void EQDialog::showEffect (const juce::XmlElement* toShow, int presetId,
                           void (EQDialog::*apply) (const juce::XmlElement&), void (EQDialog::*forget)())
{
    if (presetId != 0)
    {
        applyPreset (presetId);
        return;
    }

    // None given: the one held from an earlier opening, perhaps for another
    // channel, must not be written back for this one.
    if (toShow == nullptr)
    {
        (this->*forget)();
        return;
    }

    (this->*apply) (*toShow);
    presetCombo.setSelectedId (0, juce::dontSendNotification);
}

void EQDialog::selectFirstFactoryPreset()
{
    forgetBands();
    forgetLimiter();
    applyPreset (presetList.getNumUserPresets() + 1);
}

void EQDialog::applyPreset (int presetId)
{
    // At once, so that the dialog opens showing it, and even when the chooser
    // still shows that preset from an earlier opening.
    presetCombo.setSelectedId (0, juce::dontSendNotification);
    presetCombo.setSelectedId (presetId, juce::sendNotificationSync);
}

void EQDialog::forgetBands()
{
    heldEq.reset();
}

void EQDialog::forgetLimiter()
{
    heldLimiter.reset();

    if (voltageSlider == nullptr)
        return;

    voltageSlider->setValue (startVoltage, juce::dontSendNotification);
    impedanceSlider->setValue (startImpedance, juce::dontSendNotification);
    updatePower();
}

void EQDialog::setLimiterVoltage (int tenths)
{
    if (voltageSlider == nullptr)
        return;

    voltageSlider->setValue (tenths / 10.0, juce::dontSendNotification);
    updatePower();
}

juce::String EQDialog::getPresetText() const
{
    return presetCombo.getText();
}

void EQDialog::fillPresetCombo()
{
    presetCombo.clear (juce::dontSendNotification);
    const auto& items = presetList.getItems();

    // Item i is row id i + 1. A preset without a name gets no row (the chooser
    // cannot show one); the ids of the others stay theirs.
    for (int i = 0; i < items.size(); ++i)
        if (const auto name = items[i]->getStringAttribute ("Name"); name.isNotEmpty())
            presetCombo.addItem (name, i + 1);
}

void EQDialog::updateBandControls (int band)
{
    const int type = typeButtons[band]->getType();
    const auto mask = type >= 0 && type < numEqTypes ? eqTypeControlMask[type] : allControls;

    EQSlider* sliders[] = { gainSliders[band], frequencySliders[band], widthSliders[band] };
    for (int column = 0; column < 3; ++column)
    {
        sliders[column]->setEnabled ((mask & (1 << column)) != 0);
        sliders[column]->updateText();
    }
}

void EQDialog::applyBands (const juce::XmlElement& eqEffect)
{
    int position = 0;

    for (auto* parameter = getFirstChildEffect (eqEffect); parameter != nullptr && position < 4 * numBands;
         parameter = getNextEffect (*parameter), ++position)
    {
        const int band = position / 4;
        const int step = parameter->getIntAttribute ("StepValue", 0);

        switch (position % 4)
        {
            case 0:
                typeButtons[band]->setType (step);
                break;
            case 1:
                gainSliders[band]->setValue (step, juce::dontSendNotification);
                break;
            case 2:
                frequencySliders[band]->setValue (step, juce::dontSendNotification);
                break;
            default:
                widthSliders[band]->setValue (step, juce::dontSendNotification);
                break;
        }
    }

    for (int band = 0; band < numBands; ++band)
        updateBandControls (band);

    saveButton.setEnabled (false);
    heldEq = std::make_unique<juce::XmlElement> (eqEffect);
}

void EQDialog::applyLimiter (const juce::XmlElement& limiterEffect)
{
    if (voltageSlider == nullptr)
        return;

    if (auto* voltage = findChildById (limiterEffect, "PARAMETER", limiterVoltageId))
    {
        voltageSlider->setValue (voltage->getIntAttribute ("StepValue") / 10.0, juce::dontSendNotification);

        if (auto* impedance = findChildById (limiterEffect, "PARAMETER", limiterImpedanceId))
            impedanceSlider->setValue (impedance->getIntAttribute ("StepValue") / 10.0,
                                       juce::dontSendNotification);
    }

    updatePower();
    saveButton.setEnabled (false);
    heldLimiter = std::make_unique<juce::XmlElement> (limiterEffect);
}

float EQDialog::bandPowerFromVoltage (float volts, float ohms)
{
    return volts * volts * 0.5f / ohms;
}

void EQDialog::updatePower()
{
    power = bandPowerFromVoltage ((float)voltageSlider->getValue(), (float)impedanceSlider->getValue());
    powerSlider->setValue (juce::jmin ((double)power, maxPower), juce::dontSendNotification);
    // The value stays put above the range, but the text must follow the power.
    powerSlider->updateText();
}

void EQDialog::noteEdit()
{
    changed = true;
    saveButton.setEnabled (true);
    presetCombo.setSelectedItemIndex (-1, juce::sendNotificationAsync);
}

void EQDialog::sliderValueChanged (juce::Slider* slider)
{
    noteEdit();

    if (slider != nullptr && (slider == voltageSlider.get() || slider == impedanceSlider.get()))
        updatePower();
}

void EQDialog::comboBoxChanged (juce::ComboBox*)
{
    // By id, not by row: rows and items part where a preset has no row.
    const int index = presetCombo.getSelectedId() - 1;
    const auto& items = presetList.getItems();

    if (index < 0 || index >= items.size())
        return;

    auto* eqEffect = getFirstChildEffect (*items[index]);
    if (eqEffect == nullptr)
        return;

    applyBands (*eqEffect);

    // Only a limiter may stand in for the device's limiter.
    if (mode == outputMode)
        if (auto* limiter = getNextEffect (*eqEffect); limiter != nullptr && isPresetLimiter (*limiter))
            applyLimiter (*limiter);

    changed = true;
}

int EQDialog::showEqTypeMenu (int currentType)
{
    juce::PopupMenu menu;

    for (int type = 0; type < numEqTypes; ++type)
        menu.addItem (type + 1, eqTypeNames[type], true, type == currentType);

    return user.showMenu (menu);
}

void EQDialog::buttonClicked (juce::Button* button)
{
    for (int band = 0; band < numBands; ++band)
    {
        if (button != typeButtons[band])
            continue;

        const int chosen = showEqTypeMenu (typeButtons[band]->getType());
        if (chosen > 0 && chosen <= numEqTypes)
        {
            typeButtons[band]->setType (chosen - 1);
            updateBandControls (band);
            noteEdit();
        }
        return;
    }

    if (button == &okButton)
        closeWithResult (1);
    else if (button == &cancelButton)
        closeWithResult (0);
    else if (button == &saveButton)
    {
        auto document = buildPresetDocument();

        if (document != nullptr && presetList.savePreset (std::move (document), user))
        {
            presetList.rescan();
            fillPresetCombo();
            // Only the saved preset may show as chosen: no other one poses as it.
            if (const int saved = presetList.getSavedPresetIndex(); saved >= 0)
                presetCombo.setSelectedId (saved + 1, juce::dontSendNotification);
            else
                presetCombo.setSelectedItemIndex (-1, juce::sendNotificationAsync);
        }
        else
        {
            presetCombo.setSelectedItemIndex (-1, juce::sendNotificationAsync);
        }
    }
}

void EQDialog::closeWithResult (int result)
{
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (result);
}

juce::XmlElement* EQDialog::writeBandParameters()
{
    if (heldEq == nullptr)
        return nullptr;

    int position = 0;

    for (auto* parameter = getFirstChildEffect (*heldEq); parameter != nullptr && position < 4 * numBands;
         parameter = getNextEffect (*parameter), ++position)
    {
        const int band = position / 4;
        int step = 0;

        if (position % 4 == 0)
        {
            step = typeButtons[band]->getType();
        }
        else
        {
            EQSlider* sliders[] = { gainSliders[band], frequencySliders[band], widthSliders[band] };
            step = (int)sliders[position % 4 - 1]->getValue();
        }

        // The library's text even for a value the band's type leaves unused (its slider shows "-").
        parameter->setAttribute ("DisplayValue", EQSlider::textForStep (position, step));
        parameter->setAttribute ("StepValue", step);
    }

    return heldEq.get();
}

juce::XmlElement* EQDialog::writeLimiterParameters()
{
    if (voltageSlider == nullptr)
        return nullptr;

    if (heldLimiter == nullptr)
    {
        heldLimiter = std::make_unique<juce::XmlElement> ("EFFECT");
        nameAsPresetLimiter (*heldLimiter);

        auto* voltage = heldLimiter->createNewChildElement ("PARAMETER");
        voltage->setAttribute ("Name", "V Lim");
        voltage->setAttribute ("Id", limiterVoltageId);
        auto* impedance = heldLimiter->createNewChildElement ("PARAMETER");
        impedance->setAttribute ("Name", "R");
        impedance->setAttribute ("Id", limiterImpedanceId);
    }

    auto* voltage = findChildById (*heldLimiter, "PARAMETER", limiterVoltageId);
    if (voltage == nullptr)
        return heldLimiter.get();

    // Tenths as the sliders show them, so that what is stored is what was seen.
    auto tenths = toTenths (voltageSlider->getValue());
    voltage->setAttribute ("DisplayValue", voltageSlider->getTextFromValue (tenths / 10.0));
    voltage->setAttribute ("StepValue", tenths);

    // By Id: a limiter that holds no impedance keeps holding none.
    if (auto* impedance = findChildById (*heldLimiter, "PARAMETER", limiterImpedanceId))
    {
        tenths = toTenths (impedanceSlider->getValue());
        impedance->setAttribute ("DisplayValue", impedanceSlider->getTextFromValue (tenths / 10.0));
        impedance->setAttribute ("StepValue", tenths);
    }

    return heldLimiter.get();
}

std::unique_ptr<juce::XmlElement> EQDialog::buildPresetDocument()
{
    auto* eqEffect = writeBandParameters();
    if (eqEffect == nullptr)
        return nullptr;

    auto document = wrapInCorvadineDocument (*eqEffect, "noname");
    // A preset holds channel 1's effects, whichever channel's curve it was made
    // from: only those are listed and chosen again.
    nameAsPresetEqEffect (*getFirstChildEffect (*document), presetList.getCategory());

    if (mode == outputMode)
    {
        auto* limiter = new juce::XmlElement (*writeLimiterParameters());
        nameAsPresetLimiter (*limiter);
        document->addChildElement (limiter);
    }

    return document;
}

bool EQDialog::consumeChangeFlag()
{
    const bool result = changed;
    changed = false;
    return result;
}

bool EQDialog::isShownModally() const
{
    auto* window = findParentComponentOfClass<juce::DialogWindow>();
    return window != nullptr && window == juce::Component::getCurrentlyModalComponent();
}

void EQDialog::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int buttonAreaHeight = buttonHeight + 2 * buttonMarginY;

    buttonArea = { 0, h - buttonAreaHeight, w, buttonAreaHeight };
    presetCombo.setBounds (labelWidth, verticalGap, comboWidth, sliderHeight);
    presetLabelArea = { 0, verticalGap, labelWidth, sliderHeight };

    const int top = verticalGap + sliderHeight + verticalGap;
    const int rows = mode == outputMode ? numBands + 1 : numBands;
    const int pitch = (h - buttonAreaHeight - buttonAreaSpacing - top) / rows;

    const int typeX = labelWidth - typeButtonWidth - columnSpacing;
    const int columnX[3] = { labelWidth, labelWidth + sliderWidth + columnSpacing,
                             labelWidth + 2 * (sliderWidth + columnSpacing) };

    auto placeRow = [&] (int rowTop, int headerOffset, juce::Rectangle<int>& labelArea,
                         juce::Rectangle<int> (&headerAreas)[3], int& headerY, juce::Component& typeButton,
                         juce::Component* const(&sliders)[3])
    {
        labelArea = { 0, rowTop, labelWidth, 16 };
        headerY = rowTop + headerOffset;
        const int controlsY = headerY + 20;

        for (int column = 0; column < 3; ++column)
        {
            headerAreas[column] = { columnX[column], headerY, sliderWidth, sliderHeight };
            sliders[column]->setBounds (columnX[column], controlsY, sliderWidth, sliderHeight);
        }
        typeButton.setBounds (typeX, controlsY, typeButtonWidth, sliderHeight);
    };

    for (int band = 0; band < numBands; ++band)
    {
        juce::Component* const sliders[3] = { gainSliders[band], frequencySliders[band], widthSliders[band] };
        placeRow (top + band * pitch, buttonMarginY - 3, bandLabelAreas[band], bandHeaderAreas[band],
                  bandHeaderY[band], *typeButtons[band], sliders);
    }

    if (mode == outputMode)
    {
        juce::Component* const sliders[3] = { voltageSlider.get(), impedanceSlider.get(), powerSlider.get() };
        placeRow (top + numBands * pitch, buttonMarginY, limiterLabelArea, limiterHeaderAreas, limiterHeaderY,
                  *limiterButton, sliders);
    }

    separatorRight = columnX[2] + sliderWidth;

    const int buttonY = h - buttonHeight - buttonMarginY;
    cancelButton.setBounds (buttonMarginX, buttonY, buttonWidth, buttonHeight);
    okButton.setBounds (w - buttonWidth - buttonMarginX, buttonY, buttonWidth, buttonHeight);
    saveButton.setBounds (w / 2 - buttonWidth / 2, buttonY, buttonWidth, buttonHeight);
}

void EQDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    const auto background = findColour (juce::ResizableWindow::backgroundColourId);

    g.setColour (juce::Colours::grey);
    g.setFont (juce::Font (16.0f));
    g.drawText ("PRESET", presetLabelArea, juce::Justification::centred);

    const char* const bandHeaders[] = { "GAIN", "FREQ", "WIDTH" };
    const char* const limiterHeaders[] = { "LIMIT", "IMPEDANCE", "POWER" };

    auto paintRow = [&] (const juce::String& label, const juce::Rectangle<int>& labelArea,
                         const juce::Rectangle<int> (&headerAreas)[3], const char* const(&headers)[3],
                         int headerY, bool separator)
    {
        g.setColour (juce::Colours::grey);
        g.setFont (juce::Font (16.0f));
        g.drawText (label, labelArea, juce::Justification::centred);
        g.setFont (juce::Font (12.0f));
        for (int column = 0; column < 3; ++column)
            g.drawText (headers[column], headerAreas[column], juce::Justification::centred);

        if (separator)
        {
            g.setColour (background);
            g.drawHorizontalLine (headerY, (float)labelWidth, (float)separatorRight);
        }
    };

    for (int band = 0; band < numBands; ++band)
        paintRow ("Band " + juce::String (band + 1), bandLabelAreas[band], bandHeaderAreas[band], bandHeaders,
                  bandHeaderY[band], true);

    // In input mode the limiter row's areas are empty, so nothing of it shows.
    paintRow ("Power ", limiterLabelArea, limiterHeaderAreas, limiterHeaders, limiterHeaderY,
              mode == outputMode);

    const auto area = buttonArea.toFloat();
    g.setGradientFill (juce::ColourGradient (background.brighter (0.4f), 0.0f, area.getY(),
                                             background.darker (0.4f), 0.0f, (float)getHeight(), false));
    g.fillRect (area);
    g.setColour (background);
    g.drawHorizontalLine (buttonArea.getY(), 0.0f, (float)getWidth());
}
