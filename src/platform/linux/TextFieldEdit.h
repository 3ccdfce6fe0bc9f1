#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zr
{

// The text of a single-line entry field with its caret and selection, edited as the keys say.
// Positions count bytes of the UTF-8 text and always sit on character boundaries. Every character
// typed or pasted passes the filter; the text never grows past the limit (in characters).
class TextFieldEdit
{
public:
    using Filter = std::function<bool(char32_t)>;

    TextFieldEdit(std::string_view text, size_t limit, Filter filter);

    const std::string& Text() const { return text_; }
    size_t Caret() const { return caret_; }
    // Start and end of the selection (equal when nothing is selected).
    size_t SelectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t SelectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool HasSelection() const { return caret_ != anchor_; }

    void SelectAll();
    // Replaces the selection by the characters of utf8 that pass the filter, as many as fit.
    void Insert(std::string_view utf8);
    // Deletes the selection, else the character before (backspace) or after (delete) the caret.
    void Backspace();
    void Delete();
    // Moves the caret; with extend the selection grows from where it was anchored.
    void Left(bool extend);
    void Right(bool extend);
    void Home(bool extend);
    void End(bool extend);
    // Puts the caret at byte position pos (moved back to a character boundary).
    void PlaceCaret(size_t pos, bool extend);

private:
    void EraseSelection();
    void MoveTo(size_t pos, bool extend);
    size_t Previous(size_t pos) const;
    size_t Next(size_t pos) const;
    size_t Characters() const;

    std::string text_;
    size_t limit_;
    Filter filter_;
    size_t caret_ = 0;
    size_t anchor_ = 0;
};

} // namespace zr
