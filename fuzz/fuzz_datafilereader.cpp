// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry for the setup data file reader: any input must parse without a crash, a hang,
// a sanitizer report or a broken result.
#include <cstdio>
#include <cstdlib>

#include "readerprobes.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString problem = ReaderProbes::checkDataFileReader(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "data file reader: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
