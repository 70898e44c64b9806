#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The pencil-over-a-square icon of the GPI page: opens a value's editor and
// stays highlighted while that editor is shown.
class EditButton : public juce::Button
{
public:
    EditButton();

    void resized() override;

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    // Drawn in an 80 x 80 design space and fitted to the button on resize.
    juce::Path framePath, pencilPath, tipPath;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditButton)
};
