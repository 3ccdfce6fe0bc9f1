#include "platform/IniDocument.h"

#include <gtest/gtest.h>

namespace zr::platform
{
namespace
{

TEST(IniDocument, LookupIgnoresCaseBlanksAndQuotesAndTakesTheFirstKey)
{
    const IniDocument ini = IniDocument::Parse("top=level\r\n"
                                               "[MIDI Global]\r\n"
                                               "  MIDI Thru  =  TRUE  \r\n"
                                               "midi thru=false\r\n"
                                               "; CC7=3\r\n"
                                               "Quoted=\"  spaced  \"\r\n"
                                               "Single='x'\r\n"
                                               "Odd=\"x'\r\n"
                                               "Empty=\r\n"
                                               "NoEquals\r\n"
                                               "[ midi control ]\r\n"
                                               "CC7=12");
    EXPECT_EQ(ini.Get("midi global", "MIDI THRU"), "TRUE");
    EXPECT_EQ(ini.Get("MIDI Global", "Quoted"), "  spaced  ");
    EXPECT_EQ(ini.Get("MIDI Global", "Single"), "x");
    EXPECT_EQ(ini.Get("MIDI Global", "Odd"), "\"x'");
    EXPECT_EQ(ini.Get("MIDI Global", "Empty"), "");
    EXPECT_EQ(ini.Get("MIDI Global", "NoEquals"), "");
    EXPECT_FALSE(ini.Get("MIDI Global", "; CC7"));
    EXPECT_FALSE(ini.Get("MIDI Global", "CC7"));
    EXPECT_EQ(ini.Get("MIDI Control", "cc7"), "12");
    EXPECT_FALSE(ini.Get("", "top"));
    EXPECT_FALSE(ini.Get("Global", "top"));
}

TEST(IniDocument, LoneCarriageReturnsEndLinesToo)
{
    const IniDocument ini = IniDocument::Parse("[A]\rx=1\r\r[B]\ry=2\r");
    EXPECT_EQ(ini.Get("A", "x"), "1");
    EXPECT_EQ(ini.Get("B", "y"), "2");
    EXPECT_EQ(ini.Text(), "[A]\nx=1\n\n[B]\ny=2\n");
}

TEST(IniDocument, SetReplacesInPlaceOrAppendsAtTheEndOfTheSection)
{
    IniDocument ini = IniDocument::Parse(
        "; settings\n[Global]\n Path = /old \nOther=1\n\n[MIDI Global]\nMIDI Thru=false\n");
    ini.Set("GLOBAL", "path", "/new");
    ini.Set("Global", "Added", "2");
    ini.Set("Startup Bank", "File", "/b.fxb");
    EXPECT_EQ(ini.Text(),
              "; settings\n[Global]\nPath=/new\nOther=1\nAdded=2\n\n[MIDI Global]\nMIDI Thru=false\n\n"
              "[Startup Bank]\nFile=/b.fxb\n");
    IniDocument empty = IniDocument::Parse("");
    empty.Set("Startup Bank", "File", "");
    EXPECT_EQ(empty.Text(), "[Startup Bank]\nFile=\n");
}

TEST(IniDocument, DeletingKeysAndSectionsRemovesEveryOccurrence)
{
    IniDocument ini =
        IniDocument::Parse("[MIDI Control]\nCC1=5\nCC2=6\ncc1=7\n[Global]\nP=1\n[midi control]\nCC3=8\n");
    ini.DeleteKey("MIDI Control", "CC1");
    EXPECT_FALSE(ini.Get("MIDI Control", "CC1"));
    EXPECT_EQ(ini.Get("MIDI Control", "CC2"), "6");
    ini.DeleteSection("MIDI CONTROL");
    EXPECT_EQ(ini.Text(), "[Global]\nP=1\n");
    ini.DeleteSection("Missing");
    ini.DeleteKey("Global", "Missing");
    EXPECT_EQ(ini.Text(), "[Global]\nP=1\n");
}

TEST(IniDocument, DuplicateSectionsAreSearchedInOrder)
{
    IniDocument ini = IniDocument::Parse("[S]\na=1\n[T]\n[S]\na=2\nb=3\n");
    EXPECT_EQ(ini.Get("S", "a"), "1");
    EXPECT_EQ(ini.Get("S", "b"), "3");
    ini.Set("S", "b", "4");
    EXPECT_EQ(ini.Text(), "[S]\na=1\n[T]\n[S]\na=2\nb=4\n");
}

} // namespace
} // namespace zr::platform
