#pragma once

#include "plugin/MessageBox.h"

namespace zr
{

class IGraphics;

// The program, bank and configuration operations' messages shown as the editor's message boxes:
// questions as Yes/No boxes, notices as plain OK boxes (user-interface thread).
class GraphicsMessageBox : public IMessageBox
{
public:
    explicit GraphicsMessageBox(IGraphics& graphics) : graphics_(graphics) {}

    MessageBoxAnswer Show(std::string_view text, std::string_view title, MessageBoxButtons buttons) override;

private:
    IGraphics& graphics_;
};

} // namespace zr
