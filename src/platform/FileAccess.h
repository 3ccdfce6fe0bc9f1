#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr::platform
{

// Whole-file reads and crash-safe whole-file replacement. Called from the editor's thread or during
// instance construction, never from the audio thread (they do file I/O and allocate).

enum class FileReadStatus
{
    Read,    // contents hold the whole file
    Missing, // no file at the path
    Failed   // not a regular file, unreadable, or larger than the limit
};

struct FileReadResult
{
    FileReadStatus status = FileReadStatus::Failed;
    std::string contents;
};

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file at path (following a symbolic link to its target) by contents: the bytes go to a
// temporary file in the same folder, which is flushed to disk and then renamed over the target, so the
// target is always either the old or the new file. An existing file keeps its permissions. On failure
// the temporary file is removed and false is returned.
bool ReplaceFileAtomically(const std::string& path, std::string_view contents);

bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
// Creates the folder and any missing parents; true when the folder exists afterwards.
bool CreateFolders(const std::string& path);
// Creates an empty file when nothing exists at path; true when a file exists afterwards.
bool CreateFileIfMissing(const std::string& path);

} // namespace zr::platform
