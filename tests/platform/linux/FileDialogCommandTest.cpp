#include <gtest/gtest.h>

#include "platform/linux/FileDialogCommand.h"
#include "platform/linux/SpawnedProgram.h"

namespace
{
using zr::FileDialogCommand;
using Args = std::vector<std::string>;

TEST(FileDialogCommand, ExtensionsBecomePatternsAndTheFirstIsTheDefault)
{
    EXPECT_EQ(FileDialogCommand::Patterns("fxp fxb", ";"), "*.fxp;*.fxb");
    EXPECT_EQ(FileDialogCommand::Patterns("  scl ", ";"), "*.scl");
    EXPECT_EQ(FileDialogCommand::DefaultExtension(" fxb fxp"), "fxb");
    EXPECT_EQ(FileDialogCommand::DefaultExtension(""), "");
}

TEST(FileDialogCommand, ZenityOpensInTheFolderAndAsksBeforeOverwriting)
{
    EXPECT_EQ(
        FileDialogCommand::Build(FileDialogCommand::Program::Zenity, false, "/music/banks", "a.fxb", "fxb"),
        (Args{"zenity", "--file-selection", "--filename=/music/banks/a.fxb", "--file-filter=*.fxb"}));
    EXPECT_EQ(FileDialogCommand::Build(FileDialogCommand::Program::Zenity, true, "/d/", "", "fxp fxb"),
              (Args{"zenity", "--file-selection", "--filename=/d/", "--save", "--confirm-overwrite",
                    "--file-filter=*.fxp *.fxb"}));
    EXPECT_EQ(FileDialogCommand::Build(FileDialogCommand::Program::KDialog, true, "/d", "x", "scl"),
              (Args{"kdialog", "--getsavefilename", "/d/x", "*.scl"}));
}

TEST(FileDialogCommand, TheChosenPathIsTheFirstLineAndASaveGetsTheDefaultExtension)
{
    EXPECT_EQ(FileDialogCommand::ChosenPath("/a/b.fxp\n", false, "fxp"), "/a/b.fxp");
    EXPECT_EQ(FileDialogCommand::ChosenPath("/a/bank\n", true, "fxb"), "/a/bank.fxb");
    EXPECT_EQ(FileDialogCommand::ChosenPath("/a.b/bank\n", true, "fxb"), "/a.b/bank.fxb");
    EXPECT_EQ(FileDialogCommand::ChosenPath("/a/bank.fxb\n", true, "fxb"), "/a/bank.fxb");
    EXPECT_EQ(FileDialogCommand::ChosenPath("", true, "fxb"), "");
}

TEST(SpawnedProgram, RunsWithoutAShellAndReportsOutputAndStatus)
{
    int waits = 0;
    const auto echoed = zr::SpawnedProgram::Run({"printf", "%s", "a b;$(x)"}, [&] { ++waits; });
    ASSERT_TRUE(echoed);
    EXPECT_EQ(echoed->output, "a b;$(x)"); // the argument reached the program untouched
    EXPECT_EQ(echoed->exitStatus, 0);
    EXPECT_GE(waits, 1);
    const auto failed = zr::SpawnedProgram::Run({"false"}, nullptr, false);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->exitStatus, 1);
    EXPECT_FALSE(zr::SpawnedProgram::Run({"zr-no-such-program-here"}, nullptr));
}

} // namespace
