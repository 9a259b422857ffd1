// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-cli check and diff on data files: their output and exit status, without a device.

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "table.h"
#include "wire.h"

TEST(CliOffline, CheckAndDiffPrintTheirRowsAndExitByWhatTheyFound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const TableRow &row : tableRows(QStringLiteral("cli/offline.txt"), QStringLiteral("files")))
        writeFile(dir.filePath(row[0]),
            ("Parameter <Equals> Value\r\n" + row.words(1).join("\r\n") + "\r\n").toLatin1());
    writeFile(dir.filePath("noheader.dat"), "3=0\r\n4=1\r\n");

    for (const TableRow &row : tableRows(QStringLiteral("cli/offline.txt"), QStringLiteral("runs"))) {
        SCOPED_TRACE(row.where());
        QStringList arguments = row[0].replace("{dir}", dir.path()).split(' ');
        arguments << "--family"
                  << "Dravion"
                  << "--config" << QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
        QProcess p;
        p.start(QStringLiteral(QRX_CLI_PATH), arguments);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), row.number(1)) << p.readAllStandardError().toStdString();

        QStringList expected;
        for (const QString &line : row[2].replace("{dir}", dir.path()).split(';', Qt::SkipEmptyParts))
            expected << line.trimmed().replace("\\t", "\t");
        QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        if (expected.size() == 1 && expected[0].startsWith('{')) {
            // The table's row breaks add blanks; the objects compare as JSON.
            ASSERT_EQ(out.size(), 1);
            EXPECT_EQ(
                QJsonDocument::fromJson(out[0].toUtf8()), QJsonDocument::fromJson(expected[0].toUtf8()));
        } else {
            EXPECT_EQ(out, expected);
        }
    }
}
