#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zr
{

// The command line of the desktop's file dialog (zenity or kdialog) for a file with one of the
// space-separated extensions: start folder and initial name, the "*.ext" patterns joined as the
// filter, an existing file for opening, the overwrite question for saving.
class FileDialogCommand
{
public:
    enum class Program
    {
        Zenity,
        KDialog
    };

    static std::vector<std::string> Build(Program program, bool save, std::string_view directory,
                                          std::string_view file, std::string_view extensions);
    // The "*.ext" patterns of the extensions, joined by separator.
    static std::string Patterns(std::string_view extensions, std::string_view separator);
    // The first extension (up to its first space).
    static std::string DefaultExtension(std::string_view extensions);
    // The chosen path from the dialog's output (its first line); a save without an extension gets
    // the default one.
    static std::string ChosenPath(std::string_view output, bool save, std::string_view extensions);
};

} // namespace zr
