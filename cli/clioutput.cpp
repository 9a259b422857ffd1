// SPDX-License-Identifier: GPL-3.0-or-later
#include "clioutput.h"

#include <cstdio>

#include <QJsonArray>
#include <QJsonDocument>

namespace CliOutput {

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printLine(const QString &text)
{
    print((text + QLatin1Char('\n')).toLocal8Bit());
}

void printJson(const QJsonObject &object)
{
    print(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void printRows(const std::vector<SetupComparison::Row> &rows, const QString &leftKey, const QString &rightKey,
    QJsonObject head, bool json)
{
    if (json) {
        QJsonArray list;
        for (const auto &r : rows)
            list.append(QJsonObject {
                { QStringLiteral("parameter"), r.parameter }, { leftKey, r.left }, { rightKey, r.right } });
        head.insert(QStringLiteral("differences"), list);
        printJson(head);
        return;
    }
    for (const auto &r : rows)
        printLine(r.parameter + QLatin1Char('\t') + r.left + QLatin1Char('\t') + r.right);
}

} // namespace CliOutput
