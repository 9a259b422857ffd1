// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "datafile/datafilereader.h"
#include "datafile/datafiletargets.h"

struct DeviceFamily;
class QWidget;
class UserDialogs;

// Puts the entries of a setup data file into a main window's controls, so that every field's own
// change or selection handler brings the device state into step, exactly as typing would.
class DataFileLoader final
{
public:
    enum class Outcome {
        Loaded, // every line was read
        Stopped, // the user chose not to go on after a corrupt entry
        Failed, // an entry named an index its list does not have; the rest was not read
    };

    DataFileLoader(UserDialogs &dialogs, const DeviceFamily &family, QWidget &mainWindow,
        std::function<QWidget *()> linearPointsWindow);

    Outcome apply(const std::vector<DataFileReader::Line> &lines);

private:
    bool applyEntry(const DataFileTargets::Target &target, const QString &value);

    UserDialogs &m_dialogs;
    const DeviceFamily &m_family;
    QWidget &m_mainWindow;
    std::function<QWidget *()> m_linearPointsWindow;
};
