#include "editors/EQTypeButton.h"

#include "look/ColourScheme.h"

const char* const eqTypeNames[numEqTypes] = {
    "Low Cut 12 dB/Oct",
    "Low Cut 6 dB/Oct",
    "Low Shelve 12 dB/Oct",
    "Low Shelve 9 dB/Oct",
    "Low Shelve 6 dB/Oct",
    "Low Shelve 3 dB/Oct",
    "Band",
    "High Shelve 3 dB/Oct",
    "High Shelve 6 dB/Oct",
    "High Shelve 9 dB/Oct",
    "High Shelve 12 dB/Oct",
    "High Cut 6 dB/Oct",
    "High Cut 12 dB/Oct",
};

const char* const eqTypeShortNames[numEqTypes] = {
    "Low Cut 12",     "Low Cut 6",  "Low Shelve 12", "Low Shelve 9",  "Low Shelve 6",
    "Low Shelve 3",   "Band",       "High Shelve 3", "High Shelve 6", "High Shelve 9",
    "High Shelve 12", "High Cut 6", "High Cut 12",
};

namespace
{
// A cut: the curve rises from the left edge to the flat line.
void addCut (juce::Path& path, float control, float knee)
{
    path.startNewSubPath (0.0f, 30.0f);
    path.quadraticTo (control, 0.0f, knee, 0.0f);
    path.lineTo (70.0f, 0.0f);
}

// A shelf: boost and cut leave the flat line at the left, drawn from the middle line y = 15.
void addShelf (juce::Path& path, float a, float b, float c, float d)
{
    for (float sign : { -1.0f, 1.0f })
    {
        path.startNewSubPath (0.0f, 15.0f);
        path.lineTo (10.0f, 15.0f);
        path.quadraticTo (a, 15.0f, b, 15.0f + sign * 7.0f);
        path.quadraticTo (c, 15.0f + sign * 15.0f, d, 15.0f + sign * 15.0f);
        path.lineTo (70.0f, 15.0f + sign * 15.0f);
    }
}

// A bell up and the same bell down.
void addBand (juce::Path& path)
{
    for (float sign : { -1.0f, 1.0f })
    {
        path.startNewSubPath (40.0f, 35.0f);
        path.lineTo (60.0f, 35.0f);
        path.quadraticTo (80.0f, 35.0f, 90.0f, 35.0f + sign * 15.0f);
        path.quadraticTo (100.0f, 35.0f + sign * 30.0f, 110.0f, 35.0f + sign * 30.0f);
        path.quadraticTo (120.0f, 35.0f + sign * 30.0f, 130.0f, 35.0f + sign * 15.0f);
        path.quadraticTo (140.0f, 35.0f, 160.0f, 35.0f);
        path.lineTo (180.0f, 35.0f);
    }
}

struct ShelfShape
{
    float a, b, c, d;
};

// By slope: 12, 9, 6 and 3 dB/Oct.
constexpr ShelfShape shelfShapes[] = {
    { 20.0f, 22.0f, 27.0f, 30.0f },
    { 20.0f, 25.0f, 30.0f, 40.0f },
    { 15.0f, 25.0f, 35.0f, 50.0f },
    { 15.0f, 25.0f, 40.0f, 60.0f },
};

bool isMirrored (int type)
{
    return (type >= 2 && type <= 5) || type == 11 || type == 12;
}
} // namespace

EQTypeButton::EQTypeButton() : juce::Button ({}) {}

void EQTypeButton::setType (int newType)
{
    type = newType;
    resized();
    repaint();
}

juce::Path EQTypeButton::createIcon (int forType)
{
    juce::Path path;

    switch (forType)
    {
        case 0:
        case 12:
            addCut (path, 10.0f, 25.0f);
            break;
        case 1:
        case 11:
            addCut (path, 20.0f, 40.0f);
            break;
        case 2:
        case 3:
        case 4:
        case 5:
        {
            const auto& s = shelfShapes[forType - 2];
            addShelf (path, s.a, s.b, s.c, s.d);
            break;
        }
        case 7:
        case 8:
        case 9:
        case 10:
        {
            const auto& s = shelfShapes[10 - forType];
            addShelf (path, s.a, s.b, s.c, s.d);
            break;
        }
        case bandEqType:
            addBand (path);
            break;
        default:
            break;
    }

    if (isMirrored (forType))
        path.applyTransform (juce::AffineTransform::scale (-1.0f, 1.0f));

    return path;
}

void EQTypeButton::resized()
{
    const auto area = getLocalBounds().toFloat().reduced (5.0f);
    icon = createIcon (type);

    if (!icon.isEmpty() && !area.isEmpty())
        icon.scaleToFit (area.getX(), area.getY(), area.getWidth(), area.getHeight(), true);
}

void EQTypeButton::paintButton (juce::Graphics& g, bool, bool isButtonDown)
{
    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    const auto outer = juce::Rectangle<float> (0.0f, 0.0f, w, h);
    const auto corner = h / 5.0f;
    const auto inset = h / 25.0f;

    g.setGradientFill (juce::ColourGradient (juce::Colours::grey.withAlpha (0.3f), 0.0f, 0.0f,
                                             juce::Colours::black.withAlpha (0.3f), 0.0f, h, false));
    g.fillRoundedRectangle (outer, corner);

    const auto inner = outer.reduced (inset);
    const auto accent = findColour (accentColourId, false);
    g.setGradientFill (juce::ColourGradient (accent.brighter (0.2f), 0.0f, 0.0f, accent.darker (0.2f), 0.0f,
                                             inner.getHeight(), false));
    g.fillRoundedRectangle (inner, corner - inset);

    if (isButtonDown)
    {
        g.setColour (juce::Colours::black.withAlpha (0.2f));
        g.fillRoundedRectangle (inner, corner - inset);
    }

    g.setColour (juce::Colours::white);

    if (type == limiterEqType)
        g.drawText (TRANS ("LIM"), outer, juce::Justification::centred, true);
    else
        g.strokePath (
            icon, juce::PathStrokeType (1.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}
