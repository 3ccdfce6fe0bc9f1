#include "plugin/FactoryBank.h"

#include "platform/ModuleResources.h"
#include "plugin/Configuration.h"
#include "plugin/IPlugBase.h"
#include "plugin/MessageBox.h"
#include "plugin/ProgramFiles.h"

#include <mutex>
#include <string>

namespace zr
{

bool FactoryBank::Load(IPlugBase& plug)
{
    return LoadImage(plug, platform::FindResource(kResourceType, kResourceName));
}

bool FactoryBank::LoadImage(IPlugBase& plug, std::span<const uint8_t> image)
{
    std::lock_guard lock(plug.Mutex());
    if (image.size() < static_cast<size_t>(ProgramFiles::kBankHeaderBytes) ||
        image.size() > ProgramFiles::kMaxFileBytes)
    {
        return false;
    }
    ChunkBuffer chunk;
    chunk.Assign(image.data() + ProgramFiles::kBankHeaderBytes,
                 static_cast<int>(image.size()) - ProgramFiles::kBankHeaderBytes);
    int pos = 0;
    IPlugBase::ReadChunkVersion(chunk, pos);
    if (ProgramFiles::BankEnd(chunk, pos, plug.NPresets(), plug.NParams()) < 0)
    {
        return false;
    }
    plug.UnserializePresets(chunk, pos);
    plug.NotifyHostProgramChange();
    return true;
}

bool FactoryBank::LoadStartupBank(IPlugBase& plug, Configuration& configuration)
{
    if (ProgramFiles::LoadBank(plug, configuration.StartupBankPath()))
    {
        return true;
    }
    configuration.ForgetStartupBank();
    return Load(plug);
}

bool FactoryBank::ReloadStartupBankFromMenu(IPlugBase& plug, const Configuration& configuration,
                                            IMessageBox& messages)
{
    const std::string text =
        Configuration::FormatWithPath(kLoadStartupBankText, configuration.StartupBankPath());
    if (messages.Show(text, kLoadStartupBankTitle, MessageBoxButtons::YesNoCancel) == MessageBoxAnswer::No)
    {
        return false;
    }
    if (ProgramFiles::LoadBank(plug, configuration.StartupBankPath()))
    {
        return true;
    }
    messages.Show(ProgramFiles::kCannotLoadText, ProgramFiles::kErrorTitle, MessageBoxButtons::Ok);
    return false;
}

} // namespace zr
