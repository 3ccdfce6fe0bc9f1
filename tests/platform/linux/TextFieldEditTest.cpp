#include <gtest/gtest.h>

#include "editor/graphics/TextEntry.h"
#include "platform/linux/TextFieldEdit.h"
#include "plugin/IParameter.h"

#include "platform/linux/X11KeyMap.h"

#include <X11/keysym.h>

namespace
{
using zr::TextFieldEdit;

TextFieldEdit Field(std::string_view text, size_t limit = 7, TextFieldEdit::Filter filter = nullptr)
{
    return TextFieldEdit(text, limit, std::move(filter));
}

TEST(TextFieldEdit, StartsWithEverythingSelectedSoTypingReplacesIt)
{
    TextFieldEdit field = Field("12.00");
    EXPECT_EQ(field.SelectionStart(), 0u);
    EXPECT_EQ(field.SelectionEnd(), 5u);
    field.Insert("7");
    EXPECT_EQ(field.Text(), "7");
    EXPECT_FALSE(field.HasSelection());
}

TEST(TextFieldEdit, EditingKeysMoveAndDeleteByCharacterAcrossMultiByteText)
{
    TextFieldEdit field = Field("a\xC3\xA9z", 10); // a é z
    field.End(false);
    field.Left(false);
    field.Backspace(); // removes é (two bytes)
    EXPECT_EQ(field.Text(), "az");
    field.Home(false);
    field.Delete();
    EXPECT_EQ(field.Text(), "z");
    field.Backspace(); // nothing before the caret
    EXPECT_EQ(field.Text(), "z");
    field.End(false);
    field.Delete(); // nothing after it
    EXPECT_EQ(field.Text(), "z");
}

TEST(TextFieldEdit, ShiftExtendsTheSelectionAndAPlainArrowCollapsesIt)
{
    TextFieldEdit field = Field("abcdef", 10);
    field.Home(false);
    field.Right(true);
    field.Right(true);
    EXPECT_EQ(field.SelectionStart(), 0u);
    EXPECT_EQ(field.SelectionEnd(), 2u);
    field.Right(false);
    EXPECT_EQ(field.Caret(), 2u);
    EXPECT_FALSE(field.HasSelection());
    field.End(true);
    field.Backspace();
    EXPECT_EQ(field.Text(), "ab");
    field.PlaceCaret(99, false);
    EXPECT_EQ(field.Caret(), 2u);
}

TEST(TextFieldEdit, TheLimitCountsCharactersAndCutsPastedText)
{
    TextFieldEdit field = Field("", 4);
    field.Insert("123456");
    EXPECT_EQ(field.Text(), "1234");
    field.Insert("5");
    EXPECT_EQ(field.Text(), "1234");
    field.Home(false);
    field.Delete();
    field.Insert("\xC3\xA9\xC3\xA9"); // only one more character fits
    EXPECT_EQ(field.Text(), "\xC3\xA9"
                            "234");
}

TEST(TextFieldEdit, ControlCharactersNeverEnter)
{
    TextFieldEdit field = Field("", 10);
    field.Insert("a\tb\nc\x7F");
    EXPECT_EQ(field.Text(), "abc");
}

TEST(TextFieldEdit, ParameterFiltersRefuseLettersAndTheIntegerPoint)
{
    zr::IParameter decimal;
    decimal.DefineDouble("Tune", 0.0, -100.0, 100.0, 0.01);
    zr::IParameter integer;
    integer.DefineInt("Steps", 3.0, 0.0, 10.0);
    const auto filterFor = [](const zr::IParameter* param)
    { return [param](char32_t c) { return zr::TextEntry::Accepts(param, c); }; };
    TextFieldEdit forDecimal = Field("", 10, filterFor(&decimal));
    forDecimal.Insert("ab-12.5x");
    EXPECT_EQ(forDecimal.Text(), "-12.5");
    TextFieldEdit forInteger = Field("", 10, filterFor(&integer));
    forInteger.Insert("+1.5e3");
    EXPECT_EQ(forInteger.Text(), "+153");
    TextFieldEdit free = Field("", 10, filterFor(nullptr));
    free.Insert("My Prog.");
    EXPECT_EQ(free.Text(), "My Prog.");
}

TEST(X11KeyMap, SpaceArrowsDigitsAndLettersOfEitherCaseHaveCodesOthersNone)
{
    using zr::KeyCode;
    EXPECT_EQ(zr::TranslateKey(XK_space), KeyCode::Space);
    EXPECT_EQ(zr::TranslateKey(XK_Right), KeyCode::Right);
    EXPECT_EQ(zr::TranslateKey(XK_9), static_cast<KeyCode>(14));
    EXPECT_EQ(zr::TranslateKey(XK_KP_0), KeyCode::Digit0);
    EXPECT_EQ(zr::TranslateKey(XK_a), KeyCode::LetterA);
    EXPECT_EQ(zr::TranslateKey(XK_Z), static_cast<KeyCode>(40));
    EXPECT_FALSE(zr::TranslateKey(XK_F1));
    EXPECT_FALSE(zr::TranslateKey(XK_Return));
    EXPECT_FALSE(zr::TranslateKey(XK_adiaeresis));
}

} // namespace
