#pragma once

#include "look/FlatLNF.h"
#include "editors/PatchPoint.h"
#include "editors/SetupComponent.h"

#include <array>
#include <utility>
#include <memory>

// The MATRIX page: 4 x 4 patch points connecting inputs (rows) to outputs
// (columns), each with a level, a slider for the level of the selected point
// and the matrix presets that suit the device family. Every change goes at once
// into the matrix EFFECT; the page keeps no copy of the levels that could go stale.
//
// Two uses:
// - MATRIX page: built with a Device element. It edits the EFFECT with Id 20 of
//   the device's CORVADINE child (PARAMETER Ids 0..15) and keeps the chosen
//   preset in the device's MatrixSelection.
// - Matrix-step editor of a GPI source selector: built with a "Matrix Step" EFFECT
//   of a MATRIXMOD and the Id of that step's first PARAMETER (3, 21, 39 or 57),
//   it edits that EFFECT and keeps its preset choice to itself. The owner
//   - passes the preset id its position shows (0 for none);
//   - calls setSelectedPresetId when the user picks a preset elsewhere (the
//     step then takes the preset's levels) and reads getSelectedPresetId back;
//   - asks consumeChangeFlag to learn of edits;
//   - calls detachFromDocument before the MATRIXMOD leaves the document, after
//     which the editor never touches the old EFFECT again.
//
// Building the page never writes levels: the stored preset choice is shown, not
// applied again. PARAMETERs are read by attribute name, so documents in either
// attribute order (presets, or the settings-block reader's Id/StepValue) read the
// same. A missing EFFECT or PARAMETER is never created: its points are not shown
// and nothing is written to it. Message thread only.
class MatrixComponent : public SetupComponent,
                        private juce::Slider::Listener,
                        private juce::ComboBox::Listener,
                        private PatchPoint::Listener
{
public:
    static constexpr int numPoints = 16;
    static constexpr int matrixEffectId = 20;
    static constexpr int noPresetId = -1;
    static constexpr juce::uint8 allOutputs = 0x0f;

    MatrixComponent (juce::XmlElement* element, const PresetLibrary* presets, const DeviceFamily& family,
                     juce::uint8 firstParameterId = 0, juce::int16 presetId = noPresetId);
    ~MatrixComponent() override;

    // True for a "Matrix Step" EFFECT of a MATRIXMOD (by Name, or by Id 2, 4, 6, 8).
    static bool isMatrixStepEffect (const juce::XmlElement& element);

    bool isModified() override;
    bool consumeChangeFlag() override;

    // While set, every output is switched by a GPI: clicks are ignored, the
    // presets are disabled, the slider hidden and a notice shown.
    void setControlledByGpi (bool controlled);
    bool isControlledByGpi() const noexcept { return controlledByGpi; }

    // Bit b set: output b is edited here. The points of the other outputs are
    // marked and written as markedLevel; every point's level is written.
    void applyGpiInputMask (juce::uint8 editableOutputs);
    juce::uint8 getEditableOutputMask() const noexcept { return editableOutputMask; }

    // Selects a preset; when that changes the selection, the preset is applied
    // (from the message loop unless told otherwise). 0 selects none.
    void setSelectedPresetId (int presetId, juce::NotificationType = juce::sendNotificationAsync);
    // The selected preset's id, 0 for none.
    int getSelectedPresetId() const { return presetBox.getSelectedId(); }

    // The EFFECT being edited is about to be removed from its document.
    void detachFromDocument();

    // The edited EFFECT, null when there is none (or after detaching).
    const juce::XmlElement* getMatrixEffect() const noexcept { return matrixEffect; }
    PatchPoint& getPoint (int id) { return *points[(size_t)id]; }
    juce::Rectangle<float> getPointArea (int id) const { return pointAreas[(size_t)id]; }
    int getSelectedPoint() const noexcept { return selectedPoint; }
    juce::ComboBox& getPresetBox() noexcept { return presetBox; }
    juce::Slider& getLevelSlider() noexcept { return levelSlider; }

    void mouseUp (const juce::MouseEvent&) override;
    void resized() override;
    void paint (juce::Graphics&) override;

private:
    void sliderValueChanged (juce::Slider*) override;
    void comboBoxChanged (juce::ComboBox*) override;
    void patchPointChanged (PatchPoint&) override;

    juce::XmlElement* findParameter (int pointId) const;
    float readPointLevel (int pointId) const;
    void writePointLevel (int pointId, float level);
    // What the document holds for a point: the mark, its level when connected, else off.
    static float levelToWrite (const PatchPoint& point);
    void storePresetChoice (const juce::String& name, int presetId);
    void clearPresetChoice();
    void applyPreset (const juce::XmlElement& preset);
    void reloadPointsFromEffect();
    // Switches the point on, at 0 dB when it has no level of its own.
    void connect (PatchPoint& point);
    void updateLevelSlider();
    void updateControlsEnabled();
    bool isOnMatrixPage() const noexcept { return firstParameterId == 0; }

    FlatLNF lookAndFeel;
    juce::Label heading, presetsLabel;
    juce::ComboBox presetBox;
    juce::Slider levelSlider;

    int selectedPoint = 0;
    bool controlledByGpi = false;
    bool changed = false;
    const juce::uint8 firstParameterId;
    juce::uint8 editableOutputMask = allOutputs;

    // The page state: the device's MatrixSelection, or privateState when the page
    // does not edit a device's matrix.
    juce::XmlElement* state = nullptr;
    juce::XmlElement* matrixEffect = nullptr;
    std::unique_ptr<juce::XmlElement> effectAtBuild;
    std::unique_ptr<juce::XmlElement> privateState;
    juce::OwnedArray<juce::XmlElement> suitablePresets;

    juce::Rectangle<int> gridArea;
    std::array<juce::Rectangle<float>, numPoints> pointAreas;
    std::array<std::unique_ptr<PatchPoint>, numPoints> points;
    juce::Array<juce::Rectangle<int>> inputLabelAreas, outputLabelAreas;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MatrixComponent)
};
