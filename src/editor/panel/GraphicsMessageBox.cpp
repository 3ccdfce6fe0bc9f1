#include "editor/panel/GraphicsMessageBox.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

MessageBoxAnswer GraphicsMessageBox::Show(std::string_view text, std::string_view title,
                                          MessageBoxButtons buttons)
{
    const bool question = buttons == MessageBoxButtons::YesNoCancel;
    switch (graphics_.ShowMessageBox(text, title,
                                     question ? IEditorPlatform::kBoxYesNo : IEditorPlatform::kBoxOk))
    {
    case IEditorPlatform::kAnswerYes:
        return MessageBoxAnswer::Yes;
    case IEditorPlatform::kAnswerNo:
        return MessageBoxAnswer::No;
    case IEditorPlatform::kAnswerOk:
        return MessageBoxAnswer::Ok;
    default:
        return MessageBoxAnswer::Cancel;
    }
}

} // namespace zr
