#include "editors/MatrixStepCallOuts.h"

#include "editors/MatrixComponent.h"
#include "look/ColourScheme.h"

namespace
{
constexpr int editorWidth = 300, editorHeight = 400;
}

MatrixStepCallOuts::MatrixStepCallOuts()
{
    applyColourScheme (look);
}

MatrixStepCallOuts::~MatrixStepCallOuts()
{
    clear();
}

void MatrixStepCallOuts::build (MatrixModulation& matrixMod, const PresetLibrary* presets,
                                const DeviceFamily& family, const std::array<int, positions>& presetIds,
                                juce::uint8 editableOutputs)
{
    clear();

    for (int k = 0; k < positions; ++k)
        if (matrixMod.findStep (k + 1) == nullptr)
            return;

    const bool takePresets = matrixMod.holdsGeneratedSteps();

    for (int k = 0; k < positions; ++k)
    {
        const auto presetId = presetIds[(size_t)k];
        auto editor =
            std::make_unique<MatrixComponent> (matrixMod.findStep (k + 1), presets, family,
                                               (juce::uint8)MatrixModulation::firstParameterIdOfStep (k + 1),
                                               (juce::int16) (takePresets ? 0 : presetId));
        editor->setSize (editorWidth, editorHeight);
        editor->applyGpiInputMask (editableOutputs);

        // A generated step holds the first preset whatever its position names:
        // the amplifier must get the matrix the position shows.
        if (takePresets)
            editor->setSelectedPresetId (presetId, juce::sendNotificationSync);

        editors[(size_t)k] = std::move (editor);
    }
}

void MatrixStepCallOuts::closeBox()
{
    if (box == nullptr)
        return;

    // Ending the modal state runs the page's callback from the message loop.
    if (box->isCurrentlyModal (false))
        box->exitModalState (0);
    box->setVisible (false);
    box.reset();
    boxPosition = -1;
}

void MatrixStepCallOuts::clear()
{
    closeBox();
    for (auto& editor : editors)
        editor.reset();
}

void MatrixStepCallOuts::applyGpiInputMask (juce::uint8 editableOutputs)
{
    for (auto& editor : editors)
        if (editor != nullptr)
            editor->applyGpiInputMask (editableOutputs);
}

void MatrixStepCallOuts::setSelectedPresetId (int position, int presetId)
{
    if (position >= 0 && position < positions && editors[(size_t)position] != nullptr)
        editors[(size_t)position]->setSelectedPresetId (presetId);
}

int MatrixStepCallOuts::getSelectedPresetId (int position) const
{
    if (position >= 0 && position < positions && editors[(size_t)position] != nullptr)
        return editors[(size_t)position]->getSelectedPresetId();
    return 0;
}

bool MatrixStepCallOuts::consumeChangeFlags()
{
    for (auto& editor : editors)
        if (editor != nullptr && editor->consumeChangeFlag())
            return true;
    return false;
}

bool MatrixStepCallOuts::isOpen (int position) const
{
    return box != nullptr && boxPosition == position && box->isVisible();
}

juce::Rectangle<int> MatrixStepCallOuts::availableArea()
{
    if (auto* window = juce::TopLevelWindow::getActiveTopLevelWindow())
        return window->getScreenBounds();

    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        return display->userArea;

    return { 0, 0, 1024, 768 };
}

bool MatrixStepCallOuts::toggle (int position, juce::Component& target,
                                 std::unique_ptr<juce::ModalComponentManager::Callback> onClose)
{
    if (isOpen (position))
    {
        closeBox();
        return false;
    }

    closeBox();

    if (position < 0 || position >= positions || editors[(size_t)position] == nullptr)
        return false;

    const auto targetArea = target.getScreenBounds();
    box = std::make_unique<juce::CallOutBox> (*editors[(size_t)position], targetArea, nullptr);
    box->setLookAndFeel (&look);
    box->updatePosition (targetArea, availableArea());
    boxPosition = position;

    box->setVisible (true);
    box->enterModalState (true, onClose.release(), false);
    return true;
}

void MatrixStepCallOuts::repoint (const std::array<juce::Component*, positions>& targets)
{
    if (box != nullptr && boxPosition >= 0 && targets[(size_t)boxPosition] != nullptr)
        box->updatePosition (targets[(size_t)boxPosition]->getScreenBounds(), availableArea());
}
