// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

#include "link/exchangeoutcome.h"
#include "transfer/progresscounter.h"

struct AppContext;
struct Parameter;
class SetupModel;

// What Read Setup and Download Setup share: the link they talk through, the setup they read into or
// send (its records apart from the link's flags, so a comparison can read into a setup of its own),
// and the percentage they report.
class SetupSequence
{
public:
    SetupSequence(AppContext &link, SetupModel &setup);
    virtual ~SetupSequence() = default;

    // Receives the percentage text ("35%") whenever it changes.
    void setProgress(std::function<void(const QString &)> progress) { m_progress = std::move(progress); }
    // Replaces the version check (the default asks the device with "V").
    void setVersionCheck(std::function<void()> check) { m_versionCheck = std::move(check); }
    // The item and store commands this sequence transmitted (the version check aside).
    int sent() const { return m_sent; }

protected:
    // Stores the body, sends it and returns when the exchange has ended.
    void send(const QString &body);
    void checkVersion();
    // Divides the bar into 2n + fixed steps, n the number of points shown.
    void startProgress(int fixed);
    // One step; a failed exchange keeps the percentage where it was. False when the total is past
    // a 16-bit number: the download stops there, the read goes on without showing it.
    bool StepProgress();
    void setFull();
    void setPercent(const QString &text);
    // The last exchange brought the device's reply value.
    bool answered() const { return m_last.ok(); }
    double linearPtsNumber() const;
    bool aborted() const;
    QString readCommand(const Parameter &p) const;
    QString writeCommand(const Parameter &p) const;
    // The record of the K factor for the units the setup shows, or nothing.
    const Parameter *kfactorUnits() const;

    AppContext &m_link;
    SetupModel &m_setup;

private:
    std::function<void(const QString &)> m_progress;
    std::function<void()> m_versionCheck;
    ProgressCounter m_counter;
    int m_sent = 0;
    ExchangeOutcome m_last;
};
