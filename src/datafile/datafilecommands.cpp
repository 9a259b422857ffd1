// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilecommands.h"

#include <QFileInfo>

#include "datafile/datafilefolders.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/datafilewriter.h"
#include "datafile/modelloader.h"
#include "link/userdialogs.h"
#include "params/setupmodel.h"

DataFileCommands::DataFileCommands(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
{
}

void DataFileCommands::mnuSave_Click()
{
    UserDialogs::FileDialog dialog;
    dialog.title = QStringLiteral("Save Data File as");
    dialog.filter = QStringLiteral("Initilization File (*.dat)");
    dialog.folder = DataFileFolders::initialFolder(QStringLiteral("File Path"));
    dialog.defaultSuffix = QStringLiteral("dat");
    dialog.overwritePrompt = true;
    const std::optional<QString> path = m_context.dialogs.saveFileName(dialog);
    if (!path)
        return;

    const std::optional<QByteArray> bytes = setupBytes();
    if (!bytes || !DataFileWriter::save(*path, *bytes))
        m_context.dialogs.message(QStringLiteral("Saving File Error!"), UserDialogs::Icon::Critical);
    else
        Q_EMIT saved();
}

std::optional<QByteArray> DataFileCommands::setupBytes() const
{
    const SetupModel &setup = *m_host.setup;
    const auto entries = DataFileWriter::entriesOf(setup);
    if (!entries)
        return std::nullopt;
    return DataFileWriter::toBytes(*entries);
}

void DataFileCommands::mnuOpen_Click()
{
    UserDialogs::FileDialog dialog;
    dialog.title = QStringLiteral("Select Data File to Open");
    dialog.filter = QStringLiteral("Text files (*.dat)");
    dialog.folder = DataFileFolders::initialFolder(QStringLiteral("Data Files"));
    const std::optional<QString> path = m_context.dialogs.openFileName(dialog);
    if (path)
        openFile(*path);
}

void DataFileCommands::openFile(const QString &path)
{
    // The whole file is read before anything is cleared, so a file that cannot be read leaves the
    // window as it was.
    const std::optional<QByteArray> bytes = DataFileReader::load(path);
    if (!bytes) {
        showOpenError();
        return;
    }
    m_host.mnuClear_Click();

    switch (ModelLoader::apply(*m_host.setup,
        DataFileReader::parse(*bytes, DataFileFormat::userDecimalPoint()), m_context.dialogs)) {
    case ModelLoader::Outcome::Loaded:
        m_host.setStatusText(QStringLiteral("Status:  Opened-->  ") + QFileInfo(path).fileName());
        break;
    case ModelLoader::Outcome::Stopped:
        break;
    case ModelLoader::Outcome::Failed:
        showOpenError();
        break;
    }
    Q_EMIT opened();
}

void DataFileCommands::showOpenError()
{
    m_context.dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
}
