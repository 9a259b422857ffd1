// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Runs the configuration file reader and the data file reader on arbitrary bytes and checks what
// must hold for every input. Shared by the libFuzzer harnesses and the seeded sweep in the suite.
namespace ReaderProbes {

// Each returns an empty text when every check holds, else what went wrong.
QString checkConfigReader(const QByteArray &bytes);
QString checkDataFileReader(const QByteArray &bytes);

} // namespace ReaderProbes
