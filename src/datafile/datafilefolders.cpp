// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilefolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFileFolders::initialFolder(
    const QString &programFolder, const QString &subfolder, const QString &documentsFolder)
{
    QString folder = programFolder + QLatin1Char('/') + subfolder;
    if (!QFileInfo(folder).isDir()) {
        const QString documents = documentsFolder.isEmpty() ? QDir::homePath() : documentsFolder;
        folder = documents + QStringLiteral("/QRX Setups");
        // A folder that cannot be made leaves the dialog in the documents folder itself.
        if (!QDir().mkpath(folder))
            folder = documents;
    }
    return QDir::toNativeSeparators(folder + QLatin1Char('/'));
}

QString DataFileFolders::initialFolder(const QString &subfolder)
{
    return initialFolder(QCoreApplication::applicationDirPath(), subfolder,
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
