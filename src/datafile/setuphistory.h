// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct DeviceFamily;
class SetupModel;

// The setups kept on disk without being asked: each one a data file as Save writes it, named by
// when it was kept, what happened and the port, so a wrong download can always be taken back.
class SetupHistory final
{
public:
    enum class What { Read, Download, Unsaved, Backup };

    struct Entry
    {
        QString path;
        QDateTime when;
        QString stamp; // "2026-12-07_141503": sorts as the times do
        What what = What::Read;
        QString port;
        int sequence = 1; // 2, 3, ... for later setups kept in the same second
        QString factor; // the K factor or scale factor as written, "" when the file has none
        QString points; // the number of linear points as written
    };

    // The result of keeping one setup: where it went, or why it could not.
    struct Kept
    {
        QString path;
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    static constexpr int DefaultCapacity = 500;

    explicit SetupHistory(QString folder = defaultFolder(), int capacity = DefaultCapacity);

    // "history" in the window's per-user data folder, also when the command line asks.
    static QString defaultFolder();

    const QString &folder() const { return m_folder; }
    void setFolder(const QString &folder) { m_folder = folder; }
    int capacity() const { return m_capacity; } // 0 keeps every setup

    // Writes the setup whole or not at all, then lets the oldest go beyond the capacity.
    Kept keep(const QByteArray &bytes, What what, const QString &port,
        const QDateTime &when = QDateTime::currentDateTime());
    // The kept setups, newest first; the factor and points as the family's codes name them.
    std::vector<Entry> entries(const DeviceFamily &family) const;
    // Empty on success, otherwise why not.
    QString remove(const QString &path) const;

    // "2026-12-07_141503_read_Com1.dat"; the sequence, from 2, goes before the extension ("-2").
    static QString fileName(const QDateTime &when, What what, const QString &port, int sequence = 1);
    // A kept setup's name taken apart, or nothing for any other file.
    static std::optional<Entry> parseName(const QString &fileName);
    // Letters and digits only, so any port path makes a safe name: "Com 1" -> "Com1",
    // "/dev/ttyUSB0" -> "ttyUSB0" (the path's last part).
    static QString safePort(const QString &port);
    static QString whatName(What what); // "read", "download", "unsaved", "backup"

    // The bytes Save writes for a setup, or nothing when the setup cannot be written.
    static std::optional<QByteArray> bytesOf(const SetupModel &setup);

private:
    std::vector<Entry> kept() const; // oldest first, names only

    QString m_folder;
    int m_capacity;
};
