#pragma once

#include "bankgen/FactoryText.h"

#include <vector>

namespace zr
{
class IPlugBase;
}

namespace zr::bankgen
{

// Turns the programs of the factory text into program slots of a plug-in: each program starts from
// "Init" (every parameter at its default), takes its entries by parameter name and block, and is
// stored in its slot under its name. Numbers must lie in the parameter's range (and on its step for
// list, switch and integer parameters); texts must be display texts of the parameter. Anything else
// is an error: the bank is only complete when no error is returned.
class BankBuilder
{
public:
    static std::vector<FactoryText::Error> Build(const std::vector<FactoryText::Program>& programs,
                                                 IPlugBase& plug);
};

} // namespace zr::bankgen
