// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include "params/setupcomparison.h"

// The record of every unit a production line programs: one JSON object per unit and command,
// appended to a JSON Lines file in a single write so that units and runs sharing the file never
// interleave inside a line.
class UnitLog final
{
public:
    struct Record
    {
        QDateTime time; // the command's start, UTC
        QString command;
        QString port;
        QString portId; // the adapter's /dev/serial/by-id/ name, where it has one
        QString family;
        QString deviceVersion; // the answer to "V", when one came
        QString file;
        QByteArray sha256; // hex, of the bytes sent or written
        QString result;
        int exitStatus = 0;
        qint64 durationMs = 0;
        std::optional<std::vector<SetupComparison::Row>> differences; // compare and verify
        QString message;
    };

    // A unit's result from its exit status: success, verifyFailed, differences, noResponse,
    // deviceError, portError, fileError, and for a unit that did not end by itself interrupted
    // or crashed.
    static QString resultName(const QString &command, int status, bool portFailed);

    // Empty when the file can be appended to (it is created if need be), otherwise why not.
    static QString checkWritable(const QString &path);
    // Empty on success, otherwise what went wrong.
    static QString append(const QString &path, const Record &record);

    // One line without its line end, members in the order above; empty texts are null.
    static QByteArray line(const Record &record);
    static std::optional<Record> parse(const QByteArray &line);
};
