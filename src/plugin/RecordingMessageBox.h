#pragma once

#include "plugin/MessageBox.h"

#include <deque>
#include <string>
#include <vector>

namespace zr
{

// A message box without a screen: it records every message and answers questions from a script
// (Yes when the script is empty). Used before the editor exists and by the tests.
class RecordingMessageBox : public IMessageBox
{
public:
    struct Message
    {
        std::string text;
        std::string title;
        MessageBoxButtons buttons = MessageBoxButtons::Ok;
    };

    // Any thread; the recorder itself is not shared between threads.
    MessageBoxAnswer Show(std::string_view text, std::string_view title, MessageBoxButtons buttons) override
    {
        messages.push_back({std::string(text), std::string(title), buttons});
        if (buttons == MessageBoxButtons::Ok)
        {
            return MessageBoxAnswer::Ok;
        }
        if (answers.empty())
        {
            return MessageBoxAnswer::Yes;
        }
        const MessageBoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Queues the answer to the next question.
    void Answer(MessageBoxAnswer answer) { answers.push_back(answer); }

    std::vector<Message> messages;
    std::deque<MessageBoxAnswer> answers;
};

} // namespace zr
