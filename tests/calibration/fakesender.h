#pragma once

#include <functional>

#include <QStringList>

#include "link/devicestate.h"

// Plays the link for window logic: records each command and answers it, skipping (sending
// nothing) while the error latch is set, as the real link does. Writes echo their value.
struct FakeSender
{
    explicit FakeSender(DeviceState &s)
        : state(s)
    {
    }

    DeviceState &state;
    QStringList sent;
    std::function<QString(const QString &)> reply = [](const QString &command) {
        const int letter = int(command.indexOf(QLatin1Char('i')));
        return letter < 0 ? QString() : command.mid(letter + 1);
    };

    std::function<void()> sender()
    {
        return [this] {
            state.ReplyReceived = true;
            if (state.CommAbort)
                return;
            sent << state.CommandString;
            state.ReplyValue = reply(state.CommandString);
        };
    }
};
