// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <random>

#include <QByteArray>
#include <QString>

#include "devicemodel.h"
#include "simoptions.h"

// Turns each received command frame into the device's answer, with the configured faults applied.
// Shared by the pty server and the in-memory port so both behave alike.
class DeviceResponder final
{
public:
    struct Response
    {
        QByteArray frame; // the reply frame, empty for none
        int delayMs = 0; // beyond the configured latency
        bool vanish = false;
        QString fault; // what was injected, for the traffic log
    };

    explicit DeviceResponder(const SimOptions &options);

    // frame: STX, body, CR as received.
    Response respond(const QByteArray &frame);

    DeviceModel &model() { return *m_model; }
    int answered() const { return m_answered; }
    QString setupError() const { return m_setupError; }

private:
    SimOptions m_options;
    std::unique_ptr<DeviceModel> m_model;
    std::mt19937 m_random;
    int m_answered = 0;
    QString m_setupError;
};
