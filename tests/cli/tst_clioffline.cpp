// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-cli check and diff on data files: their output and exit status, without a device.

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "table.h"
#include "wire.h"

TABLE_TEST(CliOffline, CheckAndDiffPrintTheirRowsAndExitByWhatTheyFound, "cli/offline.txt", "runs")
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const TableRow &file : tableRows("cli/offline.txt", "files"))
        writeFile(dir.filePath(file["name"]),
            ("Parameter <Equals> Value\r\n" + file.words("entries").join("\r\n") + "\r\n").toLatin1());
    writeFile(dir.filePath("noheader.dat"), "3=0\r\n4=1\r\n");

    QStringList arguments = row["arguments"].replace("{dir}", dir.path()).split(' ');
    arguments << "--family"
              << "Dravion"
              << "--config" << QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    QProcess p;
    p.start(QStringLiteral(QRX_CLI_PATH), arguments);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), row.number("status")) << p.readAllStandardError().toStdString();

    QStringList expected;
    for (const QString &line : row["output"].replace("{dir}", dir.path()).split(';', Qt::SkipEmptyParts))
        expected << line.trimmed().replace("\\t", "\t");
    QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (expected.size() == 1 && expected[0].startsWith('{')) {
        // The table's row breaks add blanks; the objects compare as JSON.
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(QJsonDocument::fromJson(out[0].toUtf8()), QJsonDocument::fromJson(expected[0].toUtf8()));
    } else {
        EXPECT_EQ(out, expected);
    }
}
