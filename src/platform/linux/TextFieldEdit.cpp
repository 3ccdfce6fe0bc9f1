#include "platform/linux/TextFieldEdit.h"

#include <algorithm>

namespace zr
{

namespace
{
bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The code point starting at text[pos] and the length of its encoding; a malformed byte stands for
// itself.
char32_t DecodeAt(std::string_view text, size_t pos, size_t& length)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (pos + length > text.size()) length = 1;
    if (length == 1) return lead;
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
    {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(c))
        {
            length = 1;
            return lead;
        }
        code = code << 6 | (c & 0x3F);
    }
    return code;
}
} // namespace

TextFieldEdit::TextFieldEdit(std::string_view text, size_t limit, Filter filter)
    : limit_(limit), filter_(std::move(filter))
{
    Insert(text);
    SelectAll();
}

void TextFieldEdit::SelectAll()
{
    anchor_ = 0;
    caret_ = text_.size();
}

void TextFieldEdit::Insert(std::string_view utf8)
{
    EraseSelection();
    size_t count = Characters();
    std::string accepted;
    for (size_t pos = 0; pos < utf8.size() && count < limit_;)
    {
        size_t length = 1;
        const char32_t code = DecodeAt(utf8, pos, length);
        if (code >= 0x20 && code != 0x7F && (!filter_ || filter_(code)))
        {
            accepted.append(utf8.substr(pos, length));
            ++count;
        }
        pos += length;
    }
    text_.insert(caret_, accepted);
    caret_ += accepted.size();
    anchor_ = caret_;
}

void TextFieldEdit::Backspace()
{
    if (!HasSelection()) anchor_ = Previous(caret_);
    EraseSelection();
}

void TextFieldEdit::Delete()
{
    if (!HasSelection()) anchor_ = Next(caret_);
    EraseSelection();
}

void TextFieldEdit::Left(bool extend)
{
    if (!extend && HasSelection())
        MoveTo(SelectionStart(), false);
    else
        MoveTo(Previous(caret_), extend);
}

void TextFieldEdit::Right(bool extend)
{
    if (!extend && HasSelection())
        MoveTo(SelectionEnd(), false);
    else
        MoveTo(Next(caret_), extend);
}

void TextFieldEdit::Home(bool extend)
{
    MoveTo(0, extend);
}

void TextFieldEdit::End(bool extend)
{
    MoveTo(text_.size(), extend);
}

void TextFieldEdit::PlaceCaret(size_t pos, bool extend)
{
    pos = std::min(pos, text_.size());
    while (pos > 0 && pos < text_.size() && IsContinuation(static_cast<unsigned char>(text_[pos])))
        --pos;
    MoveTo(pos, extend);
}

void TextFieldEdit::EraseSelection()
{
    const size_t start = SelectionStart();
    text_.erase(start, SelectionEnd() - start);
    caret_ = anchor_ = start;
}

void TextFieldEdit::MoveTo(size_t pos, bool extend)
{
    caret_ = pos;
    if (!extend) anchor_ = pos;
}

size_t TextFieldEdit::Previous(size_t pos) const
{
    if (pos == 0) return 0;
    --pos;
    while (pos > 0 && IsContinuation(static_cast<unsigned char>(text_[pos])))
        --pos;
    return pos;
}

size_t TextFieldEdit::Next(size_t pos) const
{
    if (pos >= text_.size()) return text_.size();
    size_t length = 1;
    DecodeAt(text_, pos, length);
    return pos + length;
}

size_t TextFieldEdit::Characters() const
{
    return static_cast<size_t>(std::count_if(
        text_.begin(), text_.end(), [](char c) { return !IsContinuation(static_cast<unsigned char>(c)); }));
}

} // namespace zr
