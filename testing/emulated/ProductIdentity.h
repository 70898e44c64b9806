#pragma once

#include "link/VantorelCom.h"
#include "testing/emulator/AmplifierEmulator.h"
#include <juce_gui_basics/juce_gui_basics.h>

// How the model of the link's product table with this name presents itself, for an emulator that
// plays it; false when the table has no such model. The table is read from a link that sees
// nothing.
inline bool findProductIdentity (const juce::String& productName, AmplifierEmulator::Identity& identity)
{
    const juce::ScopedJuceInitialiser_GUI juce; // the link has a timer
    AmplifierEmulator nobody ({}, AmplifierEmulator::Mode::unplugged);
    const VantorelCom tableOnly (nobody.createUsbDevices(), nobody.createMidiPorts());
    const auto& products = tableOnly.getProductList();

    for (int i = 0; i < products.size(); ++i)
    {
        const auto* product = products.getProduct (i);
        if (product->getName() == productName)
        {
            identity = { product->getMidiPortName(), product->getAppProductId(), product->getBootProductId(),
                         product->getModelId() };
            return true;
        }
    }
    return false;
}

// The name of the product table's model at this row; empty past the end.
inline juce::String getProductName (int row)
{
    const juce::ScopedJuceInitialiser_GUI juce; // the link has a timer
    AmplifierEmulator nobody ({}, AmplifierEmulator::Mode::unplugged);
    const VantorelCom tableOnly (nobody.createUsbDevices(), nobody.createMidiPorts());
    const auto* product = tableOnly.getProductList().getProduct (row);
    return product != nullptr ? product->getName() : juce::String();
}
