#include "shell/PasswordComponent.h"

#include "shell/ProgramDialogWindow.h"

PasswordComponent::PasswordComponent()
    : juce::Component ("PasswordComponent"), okButton ("OKButton"),
      passwordField ("PasswordTextfield", maskCharacter), showTextToggle ("Show text")
{
    okButton.setButtonText ("OK");
    okButton.addShortcut (juce::KeyPress (juce::KeyPress::returnKey));
    okButton.addListener (this);
    addAndMakeVisible (okButton);

    passwordField.setMultiLine (false);
    passwordField.setReturnKeyStartsNewLine (false);
    passwordField.addKeyListener (this);
    addAndMakeVisible (passwordField);

    showTextToggle.setToggleState (false, juce::dontSendNotification);
    showTextToggle.addListener (this);
    addAndMakeVisible (showTextToggle);

    setHeading ("Enter password");
    setSize (360, 120);
}

PasswordComponent::~PasswordComponent()
{
    passwordField.removeKeyListener (this);
    okButton.removeListener (this);
    showTextToggle.removeListener (this);
}

void PasswordComponent::setHeading (const juce::String& text)
{
    heading = text;
    repaint();
}

void PasswordComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        submit();
    else if (button == &showTextToggle)
        passwordField.setPasswordCharacter (showTextToggle.getToggleState() ? 0 : maskCharacter);
}

void PasswordComponent::submit()
{
    const auto text = passwordField.getText();
    if (text.isEmpty())
        return;

    submitted = text;
    sendActionMessage (text);

    // Ready for the next entry: nothing of the password stays on screen.
    passwordField.clear();
    passwordField.setPasswordCharacter (maskCharacter);
    showTextToggle.setToggleState (false, juce::dontSendNotification);
}

bool PasswordComponent::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    if (key.isKeyCode (juce::KeyPress::returnKey))
    {
        submit();
        return true;
    }

    if (key.isKeyCode (juce::KeyPress::escapeKey))
    {
        juce::Component::unfocusAllComponents();
        submitted.reset();
        cancelListeners.call ([this] (Listener& listener) { listener.passwordEntryCancelled (*this); });
        return true;
    }

    return false;
}

void PasswordComponent::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();

    buttonStrip = { 0, h - 55, w, 55 };
    okButton.setBounds (w - buttonWidth - marginX, h - 40, buttonWidth, buttonHeight);
    headingArea = { marginX, marginY, w - 2 * marginX, 18 };
    passwordField.setBounds (marginX, 45, w - 2 * marginX, 25);
    showTextToggle.setBounds (w / 2 - 168, h - 38, 100, 20);
}

void PasswordComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto background = findColour (juce::ResizableWindow::backgroundColourId);
    const auto stripTop = (float)buttonStrip.getY();
    g.setGradientFill (juce::ColourGradient (background.brighter (0.4f), 0.0f, stripTop,
                                             background.darker (0.4f), 0.0f, (float)getHeight(), false));
    g.fillRect (buttonStrip);
    g.setColour (background);
    g.drawHorizontalLine (buttonStrip.getY(), 0.0f, (float)getWidth());

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawFittedText (heading, headingArea, juce::Justification::topLeft, 1, 0.7f);

    // Whenever the window shows, typing goes straight into the field.
    passwordField.setWantsKeyboardFocus (true);
    if (!passwordField.hasKeyboardFocus (false))
        passwordField.grabKeyboardFocus();
}

std::unique_ptr<juce::DialogWindow> PasswordComponent::createHiddenDialog (const juce::String& title)
{
    return createProgramDialogWindow (title, *this, true);
}

std::optional<juce::String> PasswordComponent::runDialog (juce::DialogWindow& window)
{
    if (window.isCurrentlyModal())
        window.exitModalState (0);

    // Escape keeps the field's text; hidden behind the mask it would become part of the next
    // password typed.
    passwordField.clear();
    submitted.reset();
    window.runModalLoop();
    return std::exchange (submitted, std::nullopt);
}
