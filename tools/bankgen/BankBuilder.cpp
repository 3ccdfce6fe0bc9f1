#include "bankgen/BankBuilder.h"

#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"

#include <cmath>
#include <optional>
#include <string>

namespace zr::bankgen
{

namespace
{

using Errors = std::vector<FactoryText::Error>;

std::string QualifiedName(const FactoryText::Entry& entry)
{
    constexpr std::string_view kBlockPrefixes[] = {"A:", "B:", "C:"};
    return entry.block == FactoryText::kGlobalBlock
               ? entry.parameter
               : std::string(kBlockPrefixes[entry.block]) + entry.parameter;
}

// The index of the entry's parameter inside its block or among the globals.
std::optional<int> FindParameter(const IPlugBase& plug, const FactoryText::Entry& entry)
{
    const bool global = entry.block == FactoryText::kGlobalBlock;
    const int first = global ? Param::kFirstGlobal : Param::BlockParamIndex(entry.block, 0);
    const int end = global ? Param::kNumParams : first + Param::kNumBlockParams;
    for (int i = first; i < end; ++i)
    {
        if (plug.GetParam(i)->Name() == entry.parameter)
        {
            return i;
        }
    }
    return std::nullopt;
}

// The value the entry gives the parameter, or an error message.
std::optional<std::string> ValueFor(const IParameter& param, const FactoryText::Entry& entry, double* value)
{
    if (entry.IsText())
    {
        const std::string& text = std::get<std::string>(entry.value);
        return param.MapDisplayText(text, value)
                   ? std::nullopt
                   : std::optional<std::string>("\"" + text + "\" is not a value of " + QualifiedName(entry));
    }
    const double number = std::get<double>(entry.value);
    if (!std::isfinite(number) || number < param.Min() || number > param.Max())
    {
        return QualifiedName(entry) + " = " + std::to_string(number) + " lies outside " +
               std::to_string(param.Min()) + " .. " + std::to_string(param.Max());
    }
    const double steps = number / param.Step();
    if (param.GetType() != IParameter::Type::Double && steps != std::round(steps))
    {
        return QualifiedName(entry) + " = " + std::to_string(number) + " is not a whole step";
    }
    *value = number;
    return std::nullopt;
}

void ResetToInit(IPlugBase& plug)
{
    for (int i = 0; i < plug.NParams(); ++i)
    {
        IParameter* param = plug.GetParam(i);
        param->Set(param->Default());
    }
}

void ApplyProgram(const FactoryText::Program& program, IPlugBase& plug, Errors& errors)
{
    ResetToInit(plug);
    for (const FactoryText::Entry& entry : program.entries)
    {
        const std::optional<int> index = FindParameter(plug, entry);
        if (!index)
        {
            errors.push_back({entry.line, "unknown parameter " + QualifiedName(entry)});
            continue;
        }
        IParameter* param = plug.GetParam(*index);
        double value = 0.0;
        if (const std::optional<std::string> error = ValueFor(*param, entry, &value))
        {
            errors.push_back({entry.line, *error});
            continue;
        }
        param->Set(value);
    }
}

} // namespace

std::vector<FactoryText::Error> BankBuilder::Build(const std::vector<FactoryText::Program>& programs,
                                                   IPlugBase& plug)
{
    Errors errors;
    if (static_cast<int>(programs.size()) != plug.NPresets())
    {
        errors.push_back({0, "the bank holds " + std::to_string(programs.size()) + " programs instead of " +
                                 std::to_string(plug.NPresets())});
        return errors;
    }
    for (int k = 0; k < plug.NPresets(); ++k)
    {
        const FactoryText::Program& program = programs[static_cast<size_t>(k)];
        ApplyProgram(program, plug, errors);
        // Selecting the empty slot stores the values; naming it and storing again puts the name into
        // the stored program state as well.
        plug.SelectPreset(k);
        plug.ModifyCurrentPreset(program.name);
        plug.ModifyCurrentPreset();
    }
    // Stores every slot the way a loaded bank stores it (Unserialize re-serialises each program with
    // the current index and name), so the image equals a bank saved right after loading it.
    ChunkBuffer bank;
    plug.SerializePresets(bank);
    plug.SelectPreset(0);
    plug.UnserializePresets(bank, 0);
    return errors;
}

} // namespace zr::bankgen
