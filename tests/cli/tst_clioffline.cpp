// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-cli check, diff and sheet on data files: their output and exit status, without a device.

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pdftext.h"
#include "programrun.h"
#include "table.h"
#include "wire.h"

TABLE_TEST(CliOffline, CheckAndDiffPrintTheirRowsAndExitByWhatTheyFound, "cli/offline.txt", "runs")
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const TableRow &file : tableRows("cli/offline.txt", "files"))
        writeFile(dir.filePath(file["name"]), setupFile(file.words("entries")));
    writeFile(dir.filePath("noheader.dat"), "3=0\r\n4=1\r\n");

    QStringList arguments = row["arguments"].replace("{dir}", dir.path()).split(' ');
    arguments << "--family"
              << "Dravion"
              << "--config" << QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    const ProgramRun p = ProgramRun::of(QStringLiteral(QRX_CLI_PATH), arguments, 30000);
    EXPECT_EQ(p.status, row.number("status")) << p.err.toStdString();

    QStringList expected;
    for (const QString &line : row["output"].replace("{dir}", dir.path()).split(';', Qt::SkipEmptyParts))
        expected << line.trimmed().replace("\\t", "\t");
    QStringList out = p.out.split('\n', Qt::SkipEmptyParts);
    if (expected.size() == 1 && expected[0].startsWith('{')) {
        // The table's row breaks add blanks; the objects compare as JSON.
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(QJsonDocument::fromJson(out[0].toUtf8()), QJsonDocument::fromJson(expected[0].toUtf8()));
    } else {
        EXPECT_EQ(out, expected);
    }
}

// The sheet needs no display; what it shows of each family's fields is read back from the PDF.
TABLE_TEST(CliOffline, SheetShowsEveryFieldAsTheWindowDoesAndLeavesNothingWhenItCannotWrite,
    "cli/offline.txt", "sheets")
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto sheet = [&](const QString &family, const QString &out) {
        return ProgramRun::of(QStringLiteral(QRX_CLI_PATH),
            { "sheet", dir.filePath("sheet.dat"), out, "--family", family, "--config",
                QStringLiteral(QRX_CONFIG_DIR "/%1/Config.inf").arg(family.toLower()) },
            30000, true)
            .status;
    };
    writeFile(dir.filePath("sheet.dat"), setupFile(row.words("entries")));
    const QString out = dir.filePath("sheet.pdf");
    ASSERT_EQ(sheet(row["family"], out), 0);
    QStringList expected;
    for (const QString &line : row["sheet"].split(';', Qt::SkipEmptyParts))
        expected << line.trimmed();
    const QStringList lines = pdfLines(out);
    EXPECT_EQ(notInOrder(lines, expected), QStringList()) << lines.join('\n').toStdString();

    // Onto a folder: refused, the folder as it was, and no half-written file beside it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.pdf"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(sheet(row["family"], dir.filePath("folder.pdf")), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(QDir(dir.filePath("folder.pdf")).isEmpty());
}
