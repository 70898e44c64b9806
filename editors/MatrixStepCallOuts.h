#pragma once

#include "editors/MatrixModulation.h"
#include "editors/iosCallout.h"

#include <array>
#include <memory>

class MatrixComponent;
class PresetLibrary;
struct DeviceFamily;

// The four matrix editors of a GPI source selector, one per matrix step, and the
// call-out box in which one of them is shown at a time. The editors point into
// the live MATRIXMOD element: whoever removes that element clears them first.
// The box is a desktop window of its own; it is created when opened and never
// outlives this object.
class MatrixStepCallOuts
{
public:
    static constexpr int positions = MatrixModulation::positions;

    MatrixStepCallOuts();
    ~MatrixStepCallOuts();

    // Editors over the steps of the live element, each showing its position's
    // preset and leaving only the outputs of editableOutputs editable. Steps just
    // generated take their positions' presets; steps found in the document are
    // shown as they are.
    void build (MatrixModulation& matrixMod, const PresetLibrary* presets, const DeviceFamily& family,
                const std::array<int, positions>& presetIds, juce::uint8 editableOutputs);

    // Closes an open box and deletes the editors: nothing points into the
    // MATRIXMOD element any more.
    void clear();

    bool exists() const noexcept { return editors[0] != nullptr; }

    void applyGpiInputMask (juce::uint8 editableOutputs);
    void setSelectedPresetId (int position, int presetId);
    // 0 when there is no editor or it shows no preset.
    int getSelectedPresetId (int position) const;
    // Asks the editors in position order, stopping at the first that changed; the
    // others keep their flags for the next question.
    bool consumeChangeFlags();

    // Closes the box of the position when it is open; otherwise opens it pointing
    // at the target, modal, with the callback to run when it closes. True when
    // the box is open afterwards.
    bool toggle (int position, juce::Component& target,
                 std::unique_ptr<juce::ModalComponentManager::Callback> onClose);
    bool isOpen (int position) const;
    juce::CallOutBox* getOpenBox() const noexcept { return box.get(); }

    // Points an open box at its target again (the page moved).
    void repoint (const std::array<juce::Component*, positions>& targets);

private:
    static juce::Rectangle<int> availableArea();
    void closeBox();

    iosCallout look;
    std::array<std::unique_ptr<MatrixComponent>, positions> editors;
    std::unique_ptr<juce::CallOutBox> box;
    int boxPosition = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MatrixStepCallOuts)
};
