// zr4400-bankgen: builds the factory bank file from its text form.
//
//   zr4400-bankgen <factory-bank.txt> <output.fxb>
//
// Every error is printed as <text file>:<line>: <message>; any error fails the build.

#include "bankgen/BankBuilder.h"
#include "bankgen/FactoryText.h"
#include "instrument/HeadlessInstrument.h"
#include "platform/FileAccess.h"
#include "plugin/FactoryBank.h"
#include "plugin/ProgramFiles.h"

#include <cstdio>
#include <string>

namespace
{

void PrintErrors(const std::string& path, const std::vector<zr::bankgen::FactoryText::Error>& errors)
{
    for (const auto& error : errors)
    {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: zr4400-bankgen <factory-bank.txt> <output.fxb>\n");
        return 2;
    }
    const std::string textPath = argv[1];
    const std::string outputPath = argv[2];
    const zr::bankgen::FactoryText::Result text = zr::bankgen::FactoryText::ReadFile(textPath);
    if (!text.Ok())
    {
        PrintErrors(textPath, text.errors);
        return 1;
    }
    zr::HeadlessInstrument plug;
    const auto errors = zr::bankgen::BankBuilder::Build(text.programs, plug);
    if (!errors.empty())
    {
        PrintErrors(textPath, errors);
        return 1;
    }
    const zr::ChunkBuffer image = zr::ProgramFiles::BankImage(plug, zr::FactoryBank::kFxVersion);
    const std::string_view bytes(reinterpret_cast<const char*>(image.Data()),
                                 static_cast<size_t>(image.Size()));
    if (!zr::platform::ReplaceFileAtomically(outputPath, bytes))
    {
        std::fprintf(stderr, "%s: cannot write the bank\n", outputPath.c_str());
        return 1;
    }
    std::printf("%s: %d programs, %d bytes\n", outputPath.c_str(), plug.NPresets(), image.Size());
    return 0;
}
