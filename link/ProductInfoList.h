#pragma once

#include "link/ProductInfo.h"

// The amplifier models the link knows. Row order is search order: the first row whose product id
// is present wins.
class ProductInfoList
{
public:
    ProductInfoList() = default;
    virtual ~ProductInfoList() = default;

    void addCopy (const ProductInfo& product);

    int size() const noexcept { return products.size(); }
    // Null when the index is out of range.
    ProductInfo* getProduct (int index) const noexcept { return products[index]; }

private:
    juce::OwnedArray<ProductInfo> products;

    JUCE_DECLARE_NON_COPYABLE (ProductInfoList)
};
