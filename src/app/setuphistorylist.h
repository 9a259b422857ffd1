// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QStringList>

#include "datafile/setuphistory.h"

struct DeviceFamily;
class UserDialogs;

// What the Setup History window shows and does: the kept setups newest first, each opened into
// the main window, compared with the device, or deleted, and the folder they are kept in.
class SetupHistoryList final : public QObject
{
    Q_OBJECT

public:
    struct Host
    {
        std::function<void(const QString &path)> open; // as Open Data File, without its dialog
        std::function<void(const QString &path)> compare; // that setup against the device
        std::function<void(const QString &folder)> showFolder;
    };

    SetupHistoryList(
        SetupHistory &history, const DeviceFamily &family, UserDialogs &dialogs, Host host, QObject *parent);

    void refresh();
    int rowCount() const { return int(m_entries.size()); }
    QStringList headings() const;
    QStringList cells(int row) const;
    QString path(int row) const;

    void open(int row);
    void compare(int row);
    void remove(int row); // asks first
    void showFolder();

    static QString whatCaption(SetupHistory::What what);

Q_SIGNALS:
    void changed();

private:
    bool valid(int row) const { return row >= 0 && row < rowCount(); }

    SetupHistory &m_history;
    const DeviceFamily &m_family;
    UserDialogs &m_dialogs;
    Host m_host;
    std::vector<SetupHistory::Entry> m_entries;
};
