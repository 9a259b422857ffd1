// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QObject>

#include "datafile/datafilewriter.h"
#include "link/appcontext.h"

class SetupModel;

// Saving and opening setup data files from the File menu.
class DataFileCommands final : public QObject
{
    Q_OBJECT

public:
    // What the commands need of the main window; each device family's window gives its own.
    struct Host
    {
        SetupModel *setup = nullptr; // the window's setup, saved and opened
        std::function<void()> mnuClear_Click;
        std::function<void(const QString &)> setStatusText;
    };

    DataFileCommands(Host host, AppContext &context, QObject *parent);
    void mnuSave_Click();
    void mnuOpen_Click();
    // Open Data File for a file already chosen: the same checks, clearing and messages.
    void openFile(const QString &path);
    // The window's setup as Save writes it, or nothing when it cannot be written.
    std::optional<QByteArray> setupBytes() const;

Q_SIGNALS:
    void saved(); // a setup file was written
    void opened(); // the window was cleared and filled from a file, whole or in part

private:
    void showOpenError();

    Host m_host;
    AppContext &m_context;
};
