#pragma once

#include "editor/graphics/IArgbColor.h"
#include "editor/graphics/IRectangle.h"

#include <string>
#include <string_view>

class LICE_IBitmap;

namespace zr
{

class IControl;
class IParameter;
class IPopupList;
struct ITextStyle;

// What the editor needs of a window system: presenting the drawn panel, the modal questions and
// menus, the single text-entry field, folders and the editor window itself. One implementation per
// platform (a headless one presents into memory and answers from a script). Every operation runs
// on the user-interface thread.
class IEditorPlatform
{
public:
    // Answers of ShowMessageBox.
    static constexpr int kAnswerOk = 1;
    static constexpr int kAnswerYes = 6;
    static constexpr int kAnswerNo = 7;
    // Types of ShowMessageBox.
    static constexpr int kBoxOk = 0;
    static constexpr int kBoxYesNo = 4;
    // Icons, added to the type of ShowMessageBox.
    static constexpr int kIconError = 0x10;
    static constexpr int kIconInformation = 0x40;
    // Actions of AskForFile.
    static constexpr int kFileOpen = 0;
    static constexpr int kFileSave = 1;

    virtual ~IEditorPlatform() = default;

    // ---- Drawing ------------------------------------------------------------------------------
    // Copies area of the drawn surface to the screen; false when nothing could be shown.
    virtual bool PresentArea(const LICE_IBitmap& surface, const IRectangle& area) = 0;
    // Asks for area to be drawn on the next paint.
    virtual void Invalidate(const IRectangle& area) = 0;
    // "" for the headless platform.
    virtual std::string DrawingBackendName() const = 0;

    // ---- Editor window ------------------------------------------------------------------------
    // Opens the editor window inside the host's parent window; nullptr when it cannot.
    virtual void* OpenEditorWindow(void* parent) = 0;
    virtual void CloseEditorWindow() = 0;
    virtual bool HasEditorWindow() const = 0;
    virtual void* EditorWindowHandle() const = 0;
    // Handles pending window events and the redraw timer (the host's idle calls); nothing without
    // a window system.
    virtual void ServiceWindow() {}
    // Lets go of the mouse the window captured on a button press.
    virtual void ReleaseMouseCapture() = 0;
    virtual void HideMouse() = 0;
    virtual void ShowMouse() = 0;

    // ---- Questions and menus (modal) -----------------------------------------------------------
    // type kBoxOk or kBoxYesNo, plus an icon; the answer kAnswerOk, kAnswerYes or kAnswerNo.
    virtual int ShowMessageBox(std::string_view text, std::string_view caption, int type) = 0;
    // Shows list at the area's left-bottom corner; the list holding the chosen item (with its
    // chosen index set), or nullptr when the menu closed without a choice.
    virtual IPopupList* ShowPopupList(IPopupList& list, const IRectangle& area) = 0;
    // Asks for a file with one of the space-separated extensions. On a choice file is the full path
    // and directory its folder; on cancel file is empty and directory unchanged.
    virtual void AskForFile(std::string& file, int action, std::string& directory,
                            std::string_view extensions) = 0;
    virtual bool PromptForColor(IArgbColor& color, std::string_view prompt) = 0;
    // Opens address in the browser, after asking confirmText (when not empty) under title; on
    // failure errorText (when not empty) is shown. True when the address was opened.
    virtual bool OpenWebAddress(std::string_view address, std::string_view title,
                                std::string_view confirmText, std::string_view errorText) = 0;
    virtual bool GetClipboardText(std::string& text) = 0;

    // ---- Text entry ---------------------------------------------------------------------------
    // Opens the single text-entry field over rect; when the user commits, the text reaches the
    // control through CommitEnteredText. param is the bound parameter or nullptr.
    virtual void OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                               std::string_view initialText, const IParameter* param) = 0;
    virtual void CancelTextEntry() = 0;

    // ---- Folders (with a trailing separator) ---------------------------------------------------
    // The host program's, the module's, the desktop and the application-data folder of this
    // system: the same for every editor platform on it.
    virtual std::string HostFolder() const;
    virtual std::string ModuleFolder() const;
    virtual std::string DesktopFolder() const;
    virtual std::string ApplicationDataFolder(bool system) const;
};

} // namespace zr
