// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "link/userdialogs.h"

// Records every message and dialog and answers from a script; unscripted questions answer Ok/Yes.
class FakeUserDialogs final : public UserDialogs
{
public:
    std::vector<Message> messages;
    std::vector<FileDialog> fileDialogs;
    std::deque<Answer> answers; // consumed by YesNo messages
    std::deque<std::optional<QString>> fileAnswers; // consumed by file dialogs; empty = cancel
    std::function<void(const Message &)> onMessage; // runs while the "box" is up

    Answer showMessage(const Message &message) override
    {
        messages.push_back(message);
        if (onMessage)
            onMessage(message);
        if (message.buttons == Buttons::YesNo) {
            if (answers.empty())
                return Answer::Yes;
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return Answer::Ok;
    }
    std::optional<QString> openFileName(const FileDialog &dialog) override { return nextFile(dialog); }
    std::optional<QString> saveFileName(const FileDialog &dialog) override { return nextFile(dialog); }

    QStringList texts() const
    {
        QStringList list;
        for (const Message &m : messages)
            list << m.text;
        return list;
    }
    void clear()
    {
        messages.clear();
        fileDialogs.clear();
    }

private:
    std::optional<QString> nextFile(const FileDialog &dialog)
    {
        fileDialogs.push_back(dialog);
        if (fileAnswers.empty())
            return std::nullopt;
        // Unpacked by hand: copying the optional trips a false may-be-uninitialized warning in GCC 12.
        const bool chosen = fileAnswers.front().has_value();
        const QString path = chosen ? *fileAnswers.front() : QString();
        fileAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return path;
    }
};
