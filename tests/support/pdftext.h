// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// The lines of a PDF's text as pdftotext lays them out, runs of blanks made one; empty when it
// could not be read.
inline QStringList pdfLines(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), path, QStringLiteral("-") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines << simple;
    }
    return lines;
}

// The expected lines that are not found in order among `lines`. A line may go on with numbers
// only (the labels of a curve beside a table), never with words.
inline QStringList notInOrder(const QStringList &lines, const QStringList &expected)
{
    static const QRegularExpression numbers(QStringLiteral("^( [0-9.:-]+)+$"));
    auto matches = [](const QString &line, const QString &want) {
        return line.startsWith(want)
            && (line.size() == want.size() || numbers.match(line.mid(want.size())).hasMatch());
    };
    QStringList missing;
    qsizetype at = 0;
    for (const QString &want : expected) {
        qsizetype i = at;
        while (i < lines.size() && !matches(lines[i], want))
            ++i;
        if (i == lines.size())
            missing << want;
        else
            at = i + 1;
    }
    return missing;
}
