#pragma once

#include <string>
#include <string_view>

namespace zr
{

// The folder in which the program and bank file dialogs open: one for the whole process, shared
// by every instance. All operations are safe from any thread (a process-wide lock guards the
// folder); they are called from the editor's thread.
class ProgramFolder
{
public:
    // The remembered folder; "" until it is first set.
    static std::string Get();
    static void Set(std::string_view folder);
    // Sets the folder unless it was set before in this process: the first options-menu command of
    // any instance brings in that instance's program files path.
    static void InitializeOnce(std::string_view programFilesPath);
    // Remembers the folder of a chosen file; an empty path (a cancelled dialog) changes nothing.
    static void RememberFileFolder(std::string_view filePath);

    // The path up to, and without, its last slash or backslash; "" when there is none.
    static std::string FolderOf(std::string_view filePath);

    // Forgets the folder (tests only: the folder otherwise lives as long as the process).
    static void Reset();
};

} // namespace zr
