// SPDX-License-Identifier: GPL-3.0-or-later
#include "checkcommand.h"

#include <QJsonArray>
#include <QJsonObject>

#include "clioutput.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/setupcheck.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "qrxcli.h"
#include "stderrdialogs.h"

int CheckCommand::check(const DeviceFamily &family, const DeviceState &configured,
    const QMap<int, QStringList> &lists, const QString &path, bool json, StderrDialogs &dialogs)
{
    const std::optional<QByteArray> bytes = QrxCli::readSetupFile(path, dialogs);
    if (!bytes)
        return QrxCli::UsageOrFile;
    SetupModel model(family, configured);
    model.setLists(lists);
    const auto problems
        = SetupCheck::check(model, DataFileReader::parse(*bytes, DataFileFormat::userDecimalPoint()));

    if (json) {
        QJsonArray list;
        for (const SetupCheck::Problem &p : problems) {
            QJsonObject o { { QStringLiteral("class"), SetupCheck::kindName(p.kind) },
                { QStringLiteral("parameter"), p.parameter }, { QStringLiteral("message"), p.message } };
            if (p.line > 0)
                o.insert(QStringLiteral("line"), p.line);
            list.append(o);
        }
        CliOutput::printJson(QJsonObject { { QStringLiteral("file"), path },
            { QStringLiteral("family"), family.name }, { QStringLiteral("problems"), list } });
    } else {
        for (const SetupCheck::Problem &p : problems)
            CliOutput::printLine(SetupCheck::describe(p));
    }
    if (problems.empty()) {
        dialogs.line(QStringLiteral("%1: no problems").arg(path));
        return QrxCli::Success;
    }
    dialogs.line(QStringLiteral("%1: %2 problem(s)").arg(path).arg(problems.size()));
    return QrxCli::Differences;
}
