// The headless platform answers as a user would from its script, and records what was asked.
#include "platform/headless/HeadlessPlatform.h"
#include "editor/graphics/IPopupList.h"

#include <gtest/gtest.h>

using namespace zr;

TEST(HeadlessPlatform, PopupChoicesFollowTheirPathIntoSubLists)
{
    HeadlessPlatform platform;
    IPopupList list;
    list.AddItem("title", IPopupItem::kTitle);
    IPopupList& sub = list.AddSubList("more");
    sub.AddItem("a");
    sub.AddItem("b", IPopupItem::kDisabled);
    sub.AddItem("c");
    list.AddItem("last", IPopupItem::kChecked);

    platform.QueuePopupChoice({1, 2});
    EXPECT_EQ(platform.ShowPopupList(list, {1, 2, 3, 4}), &sub);
    EXPECT_EQ(sub.ChosenIndex(), 2);
    EXPECT_EQ(list.ChosenIndex(), -1);
    // Titles, disabled items, sub-list entries and paths into nothing choose nothing.
    for (std::vector<int> path : {std::vector<int>{0}, {1, 1}, {1}, {5}, {2, 0}, {}})
    {
        platform.QueuePopupChoice(path);
        EXPECT_EQ(platform.ShowPopupList(list, {}), nullptr);
    }
    EXPECT_EQ(platform.ShowPopupList(list, {}), nullptr); // nothing queued: closed
    ASSERT_EQ(platform.Popups().size(), 8u);
    EXPECT_EQ(platform.Popups()[0].texts, (std::vector<std::string>{"title", "more", "last"}));
    EXPECT_EQ(platform.Popups()[0].checked, 2);
    EXPECT_EQ(platform.Popups()[0].area, (IRectangle{1, 2, 3, 4}));
}

TEST(HeadlessPlatform, QuestionsFilesAndAddressesComeFromTheScript)
{
    HeadlessPlatform platform;
    EXPECT_EQ(platform.ShowMessageBox("sure?", "Q", IEditorPlatform::kBoxYesNo), IEditorPlatform::kAnswerYes);
    EXPECT_EQ(platform.ShowMessageBox("done", "N", IEditorPlatform::kBoxOk), IEditorPlatform::kAnswerOk);
    platform.QueueMessageAnswer(IEditorPlatform::kAnswerNo);
    EXPECT_FALSE(platform.OpenWebAddress("https://example.org/", "Update", "Open the page?", "failed"));
    EXPECT_TRUE(platform.OpenWebAddress("https://example.org/", "Update", "", ""));
    ASSERT_EQ(platform.Addresses().size(), 1u);
    EXPECT_EQ(platform.Messages().size(), 3u);
    EXPECT_EQ(platform.Messages()[2].text, "Open the page?");

    std::string file = "old.fxp";
    std::string folder = "/start/";
    platform.QueueFile("/home/u/banks/my.fxb");
    platform.AskForFile(file, IEditorPlatform::kFileOpen, folder, "fxb");
    EXPECT_EQ(file, "/home/u/banks/my.fxb");
    EXPECT_EQ(folder, "/home/u/banks/");
    platform.AskForFile(file, IEditorPlatform::kFileSave, folder, "fxb");
    EXPECT_EQ(file, ""); // cancelled
    EXPECT_EQ(folder, "/home/u/banks/");
    EXPECT_EQ(platform.FileDialogs(), 2);
}

TEST(HeadlessPlatform, TheWindowOpensAndClosesAndFoldersEndInASeparator)
{
    HeadlessPlatform platform;
    EXPECT_FALSE(platform.HasEditorWindow());
    EXPECT_EQ(platform.EditorWindowHandle(), nullptr);
    EXPECT_NE(platform.OpenEditorWindow(nullptr), nullptr);
    EXPECT_TRUE(platform.HasEditorWindow());
    platform.CloseEditorWindow();
    EXPECT_FALSE(platform.HasEditorWindow());
    for (const std::string& folder :
         {platform.HostFolder(), platform.DesktopFolder(), platform.ApplicationDataFolder(false)})
    {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '/');
    }
    platform.Invalidate({0, 0, 5, 5});
    platform.Invalidate({10, 10, 20, 20});
    EXPECT_EQ(platform.TakeInvalidated(), (IRectangle{0, 0, 20, 20}));
    EXPECT_TRUE(platform.TakeInvalidated().Empty());
}
