#pragma once

#include <functional>

#include <QStringList>

#include "link/devicestate.h"

// Plays the link for window logic: records each command, answers it like a device, and skips
// (sending nothing) while the error latch is set, as the real link does.
struct FakeSender
{
    explicit FakeSender(DeviceState &s)
        : state(s)
    {
    }

    DeviceState &state;
    QStringList sent;
    std::function<QString(const QString &)> reply = [](const QString &command) { return echoValue(command); };

    void operator()()
    {
        if (state.CommAbort) {
            state.ReplyReceived = true;
            return;
        }
        sent << state.CommandString;
        state.ReplyValue = reply(state.CommandString);
        state.ReplyReceived = true;
    }

    std::function<void()> sender()
    {
        return [this] { (*this)(); };
    }

    // A write's value comes back; reads answer 0; plain commands answer nothing.
    static QString echoValue(const QString &command)
    {
        int k = 0;
        while (k < command.size() && command[k].isDigit())
            ++k;
        if (k == 0 || k >= command.size())
            return {};
        const QString value = command.mid(k + 1);
        return value.isEmpty() ? QStringLiteral("0") : value;
    }
};
