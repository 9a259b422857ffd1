// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "params/configreader.h"
#include "params/parameterset.h"

// A device family as a value: its name, parameter set, port count, configuration file rule and
// captions, so that code asks the family instead of comparing its name.
struct DeviceFamily
{
    QString name; // "Dravion" or "MR"
    QString caption; // the main window's caption
    const ParameterSet &parameters;
    int portCount; // entries of the port menu
    int fixedExchanges; // progress steps of a download besides the two per linear point
    bool outputTypeOptions; // the answer to "I" selects the window's output type option
    ConfigReader::Family config;
    QString pointColumns[2]; // the two columns of the linear points window
    QString pointHeading; // the points window's first heading, as the device's manuals print it
    bool pointPositions; // the first column holds positions, which take a lone point like a flow
    // Fields another field's choice greys are open until that choice is first made (the MR window);
    // otherwise they start hidden.
    bool switchablesActiveAtStart;

    // The configuration file the window reads from its program's folder.
    QString configurationPath(const QString &folder) const
    {
        return ConfigReader::chooseFile(folder, config);
    }

    static const DeviceFamily &dravion();
    static const DeviceFamily &mr();
    // "Dravion" or "MR" (case as written); nullptr for anything else.
    static const DeviceFamily *byName(const QString &name);
};
