#include "link/ProductInfoList.h"

void ProductInfoList::addCopy (const ProductInfo& product)
{
    products.add (new ProductInfo (product));
}
