// SPDX-License-Identifier: GPL-3.0-or-later
// The offline check of a data file: one row per problem class, against the shipped configurations.

#include <gtest/gtest.h>

#include "datafile/datafilereader.h"
#include "datafile/setupcheck.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "table.h"

TEST(SetupCheck, ListsEachProblemClassWithItsLineAndTheWindowsMessage)
{
    for (const TableRow &row : tableRows(QStringLiteral("datafile/check.txt"), QStringLiteral("problems"))) {
        SCOPED_TRACE(row.where());
        const DeviceFamily &family = *DeviceFamily::byName(row[0]);
        DeviceState configured;
        const ConfigReadResult config = ConfigReader::readFile(
            QStringLiteral(QRX_CONFIG_DIR "/%1/Config.inf").arg(row[0].toLower()), family.config, configured);
        ASSERT_FALSE(config.readError);
        SetupModel model(family, configured);
        model.setLists(config.lists);

        const QByteArray file
            = ("Parameter <Equals> Value\r\n" + row.words(1).join("\r\n") + "\r\n").toLatin1();
        QStringList told;
        for (const SetupCheck::Problem &p : SetupCheck::check(model, DataFileReader::parse(file, '.')))
            told << SetupCheck::describe(p);
        QStringList expected;
        for (const QString &p : row[2].split(';', Qt::SkipEmptyParts))
            expected << p.trimmed();
        EXPECT_EQ(told, expected);
    }
}
