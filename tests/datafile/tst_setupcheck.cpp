// SPDX-License-Identifier: GPL-3.0-or-later
// The offline check of a data file: one row per problem class, against the shipped configurations.

#include <gtest/gtest.h>

#include "datafile/datafilereader.h"
#include "datafile/setupcheck.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "table.h"
#include "wire.h"

TABLE_TEST(SetupCheck, ListsEachProblemClassWithItsLineAndTheWindowsMessage, "datafile/check.txt", "problems")
{
    const DeviceFamily &family = *DeviceFamily::byName(row["family"]);
    DeviceState configured;
    const ConfigReadResult config
        = ConfigReader::readFile(QStringLiteral(QRX_CONFIG_DIR "/%1/Config.inf").arg(row["family"].toLower()),
            family.config, configured);
    ASSERT_FALSE(config.readError);
    SetupModel model(family, configured);
    model.setLists(config.lists);

    const QByteArray file = setupFile(row.words("entries"));
    QStringList told;
    for (const SetupCheck::Problem &p : SetupCheck::check(model, DataFileReader::parse(file, '.')))
        told << SetupCheck::describe(p);
    QStringList expected;
    for (const QString &p : row["problems"].split(';', Qt::SkipEmptyParts))
        expected << p.trimmed();
    EXPECT_EQ(told, expected);
}
