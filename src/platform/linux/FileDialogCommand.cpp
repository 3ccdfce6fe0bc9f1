#include "platform/linux/FileDialogCommand.h"

namespace zr
{

std::string FileDialogCommand::Patterns(std::string_view extensions, std::string_view separator)
{
    std::string patterns;
    size_t pos = 0;
    while (pos < extensions.size())
    {
        const size_t space = extensions.find(' ', pos);
        const std::string_view extension =
            extensions.substr(pos, space == std::string_view::npos ? space : space - pos);
        pos = space == std::string_view::npos ? extensions.size() : space + 1;
        if (extension.empty()) continue;
        if (!patterns.empty()) patterns += separator;
        patterns += "*.";
        patterns += extension;
    }
    return patterns;
}

std::string FileDialogCommand::DefaultExtension(std::string_view extensions)
{
    const size_t start = extensions.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    return std::string(extensions.substr(start, extensions.find(' ', start) - start));
}

std::vector<std::string> FileDialogCommand::Build(Program program, bool save, std::string_view directory,
                                                  std::string_view file, std::string_view extensions)
{
    std::string start(directory);
    if (!start.empty() && start.back() != '/') start += '/';
    start += file;
    if (program == Program::Zenity)
    {
        std::vector<std::string> args{"zenity", "--file-selection", "--filename=" + start};
        if (save)
        {
            args.emplace_back("--save");
            args.emplace_back("--confirm-overwrite");
        }
        const std::string patterns = Patterns(extensions, " ");
        if (!patterns.empty()) args.push_back("--file-filter=" + patterns);
        return args;
    }
    return {"kdialog", save ? "--getsavefilename" : "--getopenfilename", start, Patterns(extensions, " ")};
}

std::string FileDialogCommand::ChosenPath(std::string_view output, bool save, std::string_view extensions)
{
    std::string path(output.substr(0, output.find('\n')));
    if (path.empty() || !save) return path;
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const std::string extension = DefaultExtension(extensions);
    if (!extension.empty() && (dot == std::string::npos || (slash != std::string::npos && dot < slash)))
        path += "." + extension;
    return path;
}

} // namespace zr
