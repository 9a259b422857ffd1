// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the Save and Open dialogs start.
class DataFileFolders final
{
public:
    // The subfolder of the program's folder where it exists, as in a copy unpacked in a folder of
    // its own; otherwise "QRX Setups" in the user's documents, made on first use, since an
    // installed program's folder has no such subfolder and may not be written. With a trailing
    // separator, in native form.
    static QString initialFolder(
        const QString &programFolder, const QString &subfolder, const QString &documentsFolder);
    // The same for this program's folder and the user's documents folder.
    static QString initialFolder(const QString &subfolder);
};
