// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include "params/setupcomparison.h"

// Standard output of every command. Each write is flushed at once, so a pipe reading the lines (a
// production script, a poll) sees each one as it happens.
namespace CliOutput {

void print(const QByteArray &bytes);
void printLine(const QString &text); // in the terminal's encoding
void printJson(const QJsonObject &object); // one compact object on one line

// Compared parameters: one "name<TAB>left<TAB>right" line each, or one JSON object whose
// "differences" hold each row's values under leftKey and rightKey, beside head's members.
void printRows(const std::vector<SetupComparison::Row> &rows, const QString &leftKey, const QString &rightKey,
    QJsonObject head, bool json);

} // namespace CliOutput
