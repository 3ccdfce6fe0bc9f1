#pragma once

#include "editor/graphics/IControl.h"

#include <string>

namespace zr
{

// A control showing a text in its style.
class ITextControl : public IControl
{
public:
    ITextControl(IPlugBase& plug, const IRectangle& rect, const ITextStyle& style,
                 std::string_view text = {});

    // Draws the text inside rect; nothing for an empty text.
    bool Draw(IGraphics& graphics) override;
    // Marks the control dirty when the text changes.
    void ShowPluginText(std::string_view text);

    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

} // namespace zr
