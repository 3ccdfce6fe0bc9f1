#pragma once

#include <string_view>

namespace zr
{

// The buttons a message box offers.
enum class MessageBoxButtons
{
    Ok,         // a notice with a single OK button
    YesNoCancel // a question
};

// The button that closed a message box.
enum class MessageBoxAnswer
{
    Ok,
    Yes,
    No,
    Cancel
};

// Shows the messages of the file, configuration and program operations to the user. The editor
// implements it with real dialogs; without an editor a recorder stands in (RecordingMessageBox).
// The class carries the I prefix of the framework's interfaces, which also keeps it clear of the
// MessageBox macro of the Windows headers.
class IMessageBox
{
public:
    virtual ~IMessageBox() = default;

    // Shows text under title and waits for an answer; a notice answers Ok. Called on the editor's
    // thread (menu commands), never on the audio thread (it blocks and allocates).
    virtual MessageBoxAnswer Show(std::string_view text, std::string_view title,
                                  MessageBoxButtons buttons) = 0;
};

} // namespace zr
