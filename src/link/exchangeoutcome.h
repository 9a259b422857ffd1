// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How one exchange with the device ended, with the reply's value. The link sets the shared state
// (ReplyValue, ReplyReceived, CommAbort) as well, because windows and the monitor read it; code
// that acts on an exchange tests this instead of sentinel texts.
struct ExchangeOutcome
{
    enum class Kind {
        NotSent, // a failed sequence sends nothing more, or the program was quitting
        Ok, // the device answered the command; value holds the reply's value
        NoResponse, // no reply after the resend ("NoRsp")
        Invalid, // replies that did not match the command, also when resent ("Inval")
        DeviceError, // the device refused the command; deviceError holds its number
        PortError, // the port is missing or in use
    };

    Kind kind = Kind::NotSent;
    QString value;
    int deviceError = 0;

    bool ok() const { return kind == Kind::Ok; }
};
