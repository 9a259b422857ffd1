// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetcommand.h"

#include <cstring>

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>

#include "datafile/setupsheet.h"
#include "datafile/setupsheetpainter.h"
#include "params/setupmodel.h"
#include "qrxcli.h"
#include "stderrdialogs.h"

std::unique_ptr<QCoreApplication> SheetCommand::application(int &argc, char **argv)
{
    bool sheet = false;
    for (int i = 1; i < argc; ++i)
        sheet = sheet || std::strcmp(argv[i], "sheet") == 0;
    if (!sheet)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

int SheetCommand::sheet(const DeviceFamily &family, const DeviceState &configured,
    const QMap<int, QStringList> &lists, const QString &file, const QString &out, bool skipCorrupt,
    StderrDialogs &dialogs)
{
    const std::optional<QByteArray> bytes = QrxCli::readSetupFile(file, dialogs);
    if (!bytes)
        return QrxCli::UsageOrFile;
    SetupModel model(family, configured);
    model.setLists(lists);
    dialogs.setQuestionAnswer(skipCorrupt ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    if (const int status = QrxCli::loadSetup(*bytes, model, dialogs); status != QrxCli::Success)
        return status;

    SetupSheet sheet = SetupSheet::make(model, QDateTime::currentDateTime());
    sheet.file = QFileInfo(file).fileName();
    const QString error = SetupSheetPainter::writePdf(sheet, out);
    if (!error.isEmpty()) {
        dialogs.line(QStringLiteral("Unable to write the setup sheet to %1: %2").arg(out, error));
        return QrxCli::UsageOrFile;
    }
    return QrxCli::Success;
}
