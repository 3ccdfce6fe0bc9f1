#include "platform/FileAccess.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

namespace zr::platform
{
namespace
{

using test::ReadText;
using test::TempFolder;
using test::WriteText;

TEST(FileAccess, ReadWholeFileTellsMissingFromFailed)
{
    TempFolder folder;
    EXPECT_EQ(ReadWholeFile(folder.File("none"), 100).status, FileReadStatus::Missing);
    EXPECT_EQ(ReadWholeFile(folder.Path(), 100).status, FileReadStatus::Failed);
    WriteText(folder.File("f"), std::string("a\0b", 3));
    const FileReadResult read = ReadWholeFile(folder.File("f"), 3);
    EXPECT_EQ(read.status, FileReadStatus::Read);
    EXPECT_EQ(read.contents, std::string("a\0b", 3));
    EXPECT_EQ(ReadWholeFile(folder.File("f"), 2).status, FileReadStatus::Failed);
    WriteText(folder.File("empty"), "");
    EXPECT_EQ(ReadWholeFile(folder.File("empty"), 0).status, FileReadStatus::Read);
}

TEST(FileAccess, CreatingFoldersAndEmptyFilesKeepsWhatExists)
{
    TempFolder folder;
    EXPECT_TRUE(CreateFolders(folder.File("a/b/c")));
    EXPECT_TRUE(IsFolder(folder.File("a/b/c")));
    EXPECT_TRUE(CreateFolders(folder.File("a/b/c")));
    WriteText(folder.File("file"), "x");
    EXPECT_FALSE(CreateFolders(folder.File("file/sub")));

    EXPECT_TRUE(CreateFileIfMissing(folder.File("a/zr4400.ini")));
    EXPECT_TRUE(FileExists(folder.File("a/zr4400.ini")));
    EXPECT_EQ(ReadText(folder.File("a/zr4400.ini")), "");
    EXPECT_TRUE(CreateFileIfMissing(folder.File("file")));
    EXPECT_EQ(ReadText(folder.File("file")), "x");
    EXPECT_FALSE(CreateFileIfMissing(folder.File("missing/zr4400.ini")));
    EXPECT_FALSE(FileExists(folder.File("a")));
}

TEST(FileAccess, ReplaceWritesExactBytes)
{
    TempFolder folder;
    const std::string bytes("line\r\n\0end", 10);
    EXPECT_TRUE(ReplaceFileAtomically(folder.File("new"), bytes));
    EXPECT_EQ(ReadText(folder.File("new")), bytes);
    EXPECT_TRUE(ReplaceFileAtomically(folder.File("new"), ""));
    EXPECT_EQ(ReadText(folder.File("new")), "");
}

} // namespace
} // namespace zr::platform
