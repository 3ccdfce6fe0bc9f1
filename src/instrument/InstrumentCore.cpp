#include "instrument/InstrumentCore.h"

#include "instrument/ParameterTable.h"

namespace zr
{

InstrumentCore::InstrumentCore(ParamStore& params) : applier_(engine_, params)
{
    DefineParameterTable(params);
}

} // namespace zr
