// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetcommand.h"

#include <cstring>

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>

#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/modelloader.h"
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
    const std::optional<QByteArray> bytes = DataFileReader::load(file);
    if (!bytes || !QrxCli::hasHeader(*bytes)) {
        dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
        if (bytes)
            dialogs.line(QStringLiteral("%1 is not a setup data file: its first line is not \"%2\"")
                             .arg(file, DataFileFormat::header()));
        return QrxCli::UsageOrFile;
    }
    SetupModel model(family, configured);
    model.setLists(lists);
    dialogs.setQuestionAnswer(skipCorrupt ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    switch (ModelLoader::apply(
        model, DataFileReader::parse(*bytes, DataFileFormat::userDecimalPoint()), dialogs)) {
    case ModelLoader::Outcome::Loaded:
        break;
    case ModelLoader::Outcome::Stopped:
        dialogs.line(QStringLiteral("Stopped at a corrupt entry (--skip-corrupt passes over it)"));
        return QrxCli::UsageOrFile;
    case ModelLoader::Outcome::Failed:
        dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
        return QrxCli::UsageOrFile;
    }

    SetupSheet sheet = SetupSheet::make(family, model, model.records(), QDateTime::currentDateTime());
    sheet.file = QFileInfo(file).fileName();
    const QString error = SetupSheetPainter::writePdf(sheet, out);
    if (!error.isEmpty()) {
        dialogs.line(QStringLiteral("Unable to write the setup sheet to %1: %2").arg(out, error));
        return QrxCli::UsageOrFile;
    }
    return QrxCli::Success;
}
