// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class DeviceState;
class QIODevice;

// Outcome of reading a configuration file; the window turns it into message boxes and list entries.
struct ConfigReadResult
{
    QString path; // the file that was chosen
    bool syntaxError = false; // at least one line failed the syntax check; everything else was applied
    bool readError = false; // the file could not be opened, or reading stopped at errorLine
    int errorLine = 0; // 1-based line that stopped the read (0 when the open failed)
    int syntaxErrorLine = 0; // first line that failed the syntax check
    // List entries per list item code, in file order; a code named twice holds both lists.
    QMap<int, QStringList> lists;
};

// Reads the parameter limits, choice lists and version text from a configuration file into the
// item records of one device family.
class ConfigReader final
{
public:
    enum class Family { Dravion, MR };

    // True when a file or a folder of that name exists.
    static bool FileExists(const QString &path);
    // The file to read in the program's folder: Dravion takes the first alternative parameter set
    // that exists, else Config.inf (untested); MR always takes Config.inf.
    static QString chooseFile(const QString &folder, Family family);

    static ConfigReadResult readFile(const QString &path, Family family, DeviceState &state);
    static ConfigReadResult read(QIODevice &device, Family family, DeviceState &state);

    // Appends to List the entries that a list box receives from Text for a record maximum of
    // Count (Count + 1 entries when the text holds exactly that many); Text is consumed.
    static void FillComboList(QStringList &List, QString &Text, qint16 Count);

    // Message texts of the two failure endings.
    static QString syntaxErrorTitle();
    static QString syntaxErrorText();
    static QString readErrorText();
};
