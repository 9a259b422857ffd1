// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

// The one door through which every message box and file dialog passes, so tests can see and
// answer them. Texts are passed exactly as the system words them (a CR stays a CR).
class UserDialogs
{
public:
    enum class Icon { None, Critical, Exclamation, Information, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Message
    {
        QString text;
        QString title = defaultTitle();
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    struct FileDialog
    {
        QString title;
        QString filter; // Qt form, e.g. "Initilization File (*.dat)"
        QString folder; // initial folder
        QString defaultSuffix; // empty for none
        bool overwritePrompt = false;
    };

    virtual ~UserDialogs() = default;

    virtual Answer showMessage(const Message &message) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialog &dialog) = 0;
    virtual std::optional<QString> saveFileName(const FileDialog &dialog) = 0;

    static QString defaultTitle() { return QStringLiteral("QRX Programming Utility"); }

    Answer message(const QString &text, Icon icon = Icon::None, const QString &title = defaultTitle(),
        Buttons buttons = Buttons::Ok)
    {
        return showMessage(Message { text, title, icon, buttons });
    }
};
