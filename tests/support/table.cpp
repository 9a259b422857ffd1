// SPDX-License-Identifier: GPL-3.0-or-later
#include "table.h"

#include <QFile>

#include <gtest/gtest.h>

QString TableRow::operator[](const char *column) const
{
    const qsizetype i = columns ? columns->indexOf(QString::fromUtf8(column)) : -1;
    if (i < 0) {
        ADD_FAILURE() << where() << ": no column \"" << column << "\" in table [" << table.toStdString()
                      << "]";
        return QString();
    }
    return (*this)[int(i)];
}

QString TableRow::text(const char *column) const
{
    const QString cell = (*this)[column];
    QString s = cell.size() >= 2 && cell.startsWith(QLatin1Char('"')) && cell.endsWith(QLatin1Char('"'))
        ? cell.mid(1, cell.size() - 2)
        : cell;
    for (qsizetype k; (k = s.indexOf(QLatin1String("\\x"))) >= 0;)
        s.replace(k, 4, QChar(s.mid(k + 2, 2).toUShort(nullptr, 16)));
    return s.replace(QLatin1String("\\n"), QLatin1String("\n"))
        .replace(QLatin1String("\\r"), QLatin1String("\r"))
        .replace(QLatin1String("\\t"), QLatin1String("\t"));
}

QStringList TableRow::words(int i) const
{
    return (*this)[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList TableRow::words(const char *column) const
{
    return (*this)[column].split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

std::string TableRow::caseName() const
{
    QString name = table + QLatin1Char('_') + QString::number(line);
    for (QChar &c : name) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return name.toStdString();
}

void PrintTo(const TableRow &row, std::ostream *out)
{
    *out << row.where() << ": " << row.cells.join(QStringLiteral(" | ")).toStdString();
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
    std::shared_ptr<const QStringList> columns;
    QString pending;
    int lineNo = 0, rowLine = 0;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        ++lineNo;
        if (pending.isEmpty() && line.startsWith(QLatin1Char('#'))) {
            // The first comment with cells before the table's first row names its columns.
            if (inTable && !columns && rows.isEmpty() && line.contains(QLatin1Char('|'))) {
                QStringList names;
                for (const QString &cell : line.mid(1).split(QLatin1Char('|')))
                    names << cell.trimmed();
                columns = std::make_shared<const QStringList>(names);
            }
            continue;
        }
        if (pending.isEmpty() && line.isEmpty())
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
        TableRow row { file, name, rowLine, {}, columns };
        for (const QString &cell : (pending + line).split(QLatin1Char('|')))
            row.cells << cell.trimmed();
        pending.clear();
        rows << row;
    }
    if (!found)
        ADD_FAILURE() << "no table [" << name.toStdString() << "] in " << file.toStdString();
    return rows;
}
