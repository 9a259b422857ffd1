// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QChar>
#include <QString>

class DeviceState;
class ParameterSet;
class SetupModel;

// Builds the text of a setup data file from the shared device state, one entry per parameter in
// the family's fixed order, then the linear point pairs.
namespace DataFileWriter {

struct Entry
{
    qint16 code = 0;
    QString value;
    bool operator==(const Entry &other) const { return code == other.code && value == other.value; }
};

// The number of point pairs a Linear Points text asks for, or nothing when it does not fit a
// 16-bit integer or runs past the point tables.
std::optional<int> pointCount(const QString &linearPtsText);

// A family's parameters in order: a list by its index, the K factor by the units' entry (kfactorUnitsIndex
// 0 or 1; none for other units), every other parameter by its record, the Specific Gravity whether
// shown or not.
std::optional<std::vector<Entry>> entries(const ParameterSet &set, const DeviceState &state,
    int kfactorUnitsIndex, const QString &linearPtsText, QChar decimalPoint);
// The same for a setup as it stands (its K Factor Units and Linear Points), in the user's decimal
// point: what Save writes.
std::optional<std::vector<Entry>> entriesOf(const SetupModel &setup);

// The whole file: header, then "code=value" lines, CR LF after every line.
QByteArray toBytes(const std::vector<Entry> &entries);

// Replaces the file at path only once all bytes are written, so a failure keeps the previous file
// and leaves no partial one. False on any failure.
bool save(const QString &path, const QByteArray &bytes);

} // namespace DataFileWriter
