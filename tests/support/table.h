// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of a test table kept under tests/data: cells split at '|', trimmed.
struct TableRow
{
    QString file;
    int line = 0;
    QStringList cells;

    QString operator[](int i) const { return i < cells.size() ? cells.at(i) : QString(); }
    QStringList words(int i) const;
    int number(int i) const { return (*this)[i].toInt(); }
    // "file:line" for failure messages (SCOPED_TRACE(row.where())).
    std::string where() const;
};

// The rows of table `name` in tests/data/<file>. The format:
//   # a comment, and blank lines, are skipped
//   [name]                  starts a table
//   cell | cell | cell      one row; a line ending in '\' goes on on the next line
// A missing file or table fails the calling test.
QList<TableRow> tableRows(const QString &file, const QString &name);
