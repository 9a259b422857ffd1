#pragma once

#include <utility>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "fakeuserdialogs.h"

// The link over the given port and reply timer, with the state as the main window leaves it.
template <class Port, class Timer>
struct LinkRig
{
    DeviceState state;
    Port port;
    Timer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    QStringList statuses;

    template <class... PortArgs>
    explicit LinkRig(PortArgs &&...args)
        : port(std::forward<PortArgs>(args)...)
    {
        state.ReplyReceived = true;
        state.AutoFrame = true;
        QObject::connect(&link, &LinkEngine::statusTextChanged, [this](const QString &s) { statuses << s; });
    }
    void usePath(const QString &path)
    {
        link.setPortResolver([path](int) { return path; });
    }
    QString send(const QString &body)
    {
        state.CommandString = body;
        link.SendCommand();
        return state.ReplyValue;
    }
};
