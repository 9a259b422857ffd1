// SPDX-License-Identifier: GPL-3.0-or-later
#include "table.h"

#include <QFile>

#include <gtest/gtest.h>

QStringList TableRow::words(int i) const
{
    return (*this)[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

std::string TableRow::where() const
{
    return QStringLiteral("%1:%2").arg(file).arg(line).toStdString();
}

QList<TableRow> tableRows(const QString &file, const QString &name)
{
    QFile in(QStringLiteral(QRX_TEST_DATA_DIR "/") + file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "no table file " << in.fileName().toStdString();
        return {};
    }
    QList<TableRow> rows;
    bool inTable = false, found = false;
    QString pending;
    int lineNo = 0, rowLine = 0;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        ++lineNo;
        if (pending.isEmpty() && (line.isEmpty() || line.startsWith(QLatin1Char('#'))))
            continue;
        if (pending.isEmpty() && line.startsWith(QLatin1Char('['))) {
            inTable = line == QLatin1Char('[') + name + QLatin1Char(']');
            found = found || inTable;
            continue;
        }
        if (!inTable)
            continue;
        if (pending.isEmpty())
            rowLine = lineNo;
        if (line.endsWith(QLatin1Char('\\'))) {
            pending += line.chopped(1) + QLatin1Char(' ');
            continue;
        }
        TableRow row { file, rowLine, {} };
        for (const QString &cell : (pending + line).split(QLatin1Char('|')))
            row.cells << cell.trimmed();
        pending.clear();
        rows << row;
    }
    if (!found)
        ADD_FAILURE() << "no table [" << name.toStdString() << "] in " << file.toStdString();
    return rows;
}
