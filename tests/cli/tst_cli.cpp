// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-cli against a simulated device on a pty: the same file as the window's Save, the described
// download bytes, exactly the changed items from compare, and an exit status per failure class.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "datafile/datafilecommands.h"
#include "datafile/setuphistory.h"
#include "params/devicefamily.h"
#include "programrun.h"
#include "rigcase.h"
#include "transfer/frmcompare.h"

namespace {

using Cli = ProgramRun;

// Runs the CLI against the rig's device (or the given port), with the rig's family and configuration.
Cli run(Rig &r, QStringList arguments, const QString &port = {}, const QString &locale = {})
{
    arguments << "--family" << r.options.family << "--config" << r.options.configPath << "--port"
              << (port.isEmpty() ? r.pty->path() : port);
    return ProgramRun::of(QStringLiteral(QRX_CLI_PATH), arguments, 60000, false, locale);
}

// A saved file with each "old>new" edit applied to the line that is exactly old.
void edit(const QString &path, const QStringList &edits)
{
    QStringList lines = QString::fromLatin1(readAll(path)).split("\r\n");
    for (const QString &e : edits)
        lines.replaceInStrings(QRegularExpression('^' + e.section('>', 0, 0) + '$'), e.section('>', 1));
    writeFile(path, lines.join("\r\n").toLatin1());
}

} // namespace

TABLE_TEST(Cli, ReadGivesTheWindowsSavedFileAndDownloadSendsTheDescribedBytes, "cli/cli.txt", "download")
{
    RigCase source(row["family"], row.words("device"), {}, true);
    const QString cliFile = source->dir.filePath(QStringLiteral("cli.dat"));
    const Cli read = run(*source, { "read", cliFile });
    ASSERT_EQ(read.status, 0) << read.err.toStdString();

    source->c().btnRead->click();
    ASSERT_EQ(source->dialogs.texts(), QStringList { "Read Successful" });
    source->dialogs.fileAnswers.push_back(source->dir.filePath(QStringLiteral("window.dat")));
    source->window->dataFiles().mnuSave_Click();
    EXPECT_EQ(readAll(cliFile), readAll(source->dir.filePath(QStringLiteral("window.dat"))));

    RigCase target(row["family"], {}, {}, true);
    const Cli download = run(*target, { "download", cliFile, "--verify" });
    EXPECT_EQ(download.status, 0) << download.err.toStdString();
    const QStringList sent = frameList(row.words("sent"));
    EXPECT_EQ(target->received().mid(0, sent.size()), sent);
    EXPECT_TRUE(download.err.contains("Verify Successful")) << download.err.toStdString();
}

// The rows the window's Compare marks (tests/data/transfer) are the lines the CLI prints.
TABLE_TEST(Cli, CompareListsExactlyTheChangedItems, "transfer/transfer.txt", "compare")
{
    RigCase t(row["family"], row.words("device"), {}, true);
    const QString saved = t->dir.filePath(QStringLiteral("setup.dat"));
    ASSERT_EQ(run(*t, { "read", saved }).status, 0);
    const Cli same = run(*t, { "compare", saved });
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    QStringList lines = QString::fromLatin1(readAll(saved)).split("\r\n");
    for (const QString &edit : row.words("changed"))
        lines.replaceInStrings(QRegularExpression('^' + edit.section('>', 0, 0) + '$'), edit.section('>', 1));
    writeFile(t->dir.filePath(QStringLiteral("edited.dat")), lines.join("\r\n").toLatin1());
    const Cli changed = run(*t, { "compare", t->dir.filePath(QStringLiteral("edited.dat")) });
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.out, row["marked"].replace(" ; ", "\n").replace('/', '\t') + '\n');
}

TABLE_TEST(Cli, EachFailureClassGivesItsStatusAndTheWindowsMessage, "cli/cli.txt", "failures")
{
    RigCase t(QStringLiteral("Dravion"), { "3=2", "11=5" }, row.words("options"), true);
    Rig &r = *t;
    const QString sound = r.dir.filePath(QStringLiteral("sound.dat"));
    writeFile(sound,
        "Parameter <Equals> "
        "Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n16=100\r\n100=0\r\n7=0.85\r\n");
    const QMap<QString, QByteArray> files { { "CORRUPT", "Parameter <Equals> Value\r\n3=2\r\n11=abc\r\n" },
        { "EMPTY", "" }, { "BARE", "3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n16=100\r\n100=0\r\n" },
        { "HALF",
            "Parameter <Equals> "
            "Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n16=100\r\n100=2.5\r\n101=100\r\n"
            "102=1.5\r\n103=200\r\n104=2.5\r\n105=300\r\n106=3.5\r\n7=0.85\r\n" } };
    const QString out = r.dir.filePath(QStringLiteral("out.dat"));
    QStringList args;
    for (const QString &a : row.words("arguments")) {
        if (files.contains(a))
            writeFile(r.dir.filePath(a), files[a]);
        args << (a == "FILE" ? sound : files.contains(a) ? r.dir.filePath(a) : a == "OUT" ? out : a);
    }
    const bool json = row["json"] == "yes";
    const Cli cli = run(r, json ? args << "--json" : args, row["port"] == "-" ? QString() : row["port"]);
    EXPECT_EQ(cli.status, row.number("status")) << cli.err.toStdString();
    EXPECT_TRUE(cli.err.contains(row["stderr"])) << cli.err.toStdString();
    if (json) {
        const QStringList lines = cli.out.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 1) << cli.out.toStdString();
        const QJsonObject failure = QJsonDocument::fromJson(lines.value(0).toUtf8()).object();
        EXPECT_EQ(failure.value("result").toString(), "failed");
        EXPECT_EQ(failure.value("exitStatus").toInt(), row.number("status"));
        EXPECT_TRUE(failure.value("message").toString().contains(row["stderr"])) << cli.out.toStdString();
    } else {
        EXPECT_EQ(cli.out, "");
    }
    EXPECT_EQ(!r.received().isEmpty(), row["sent"] == "yes");
    EXPECT_FALSE(r.received().contains("<STX>W<CR>"));
    EXPECT_FALSE(QFile::exists(out));
}

// The window's Compare and the programmer's name a row as the window captions the field, and count
// numbers as equal within 0.01 as the link does, under either decimal separator.
TABLE_TEST(Cli, CompareNamesTheWindowsCaptionsAndKeepsTheLinksTolerance, "cli/cli.txt", "compare")
{
    RigCase t(row["family"], row.words("device"), {}, true);
    Rig &r = *t;
    const QString locale = row["locale"] == "-" ? QString() : row["locale"];
    const QString saved = r.dir.filePath(QStringLiteral("setup.dat"));
    ASSERT_EQ(run(r, { "read", saved }, {}, locale).status, 0);
    edit(saved, row.words("edits"));
    const QStringList rows = row["rows"] == "-" ? QStringList() : row["rows"].split(" ; ");
    const Cli cli = run(r, { "compare", saved }, {}, locale);
    EXPECT_EQ(cli.status, rows.isEmpty() ? 0 : 1) << cli.err.toStdString();
    EXPECT_EQ(cli.out.split('\n', Qt::SkipEmptyParts).replaceInStrings("\t", "/"), rows);

    const QLocale before;
    if (!locale.isEmpty())
        QLocale::setDefault(QLocale(locale.section('.', 0, 0)));
    r.dialogs.fileAnswers.push_back(saved);
    r.window->dataFiles().mnuOpen_Click();
    QLocale::setDefault(before);
    r.c().mnuCompare->trigger();
    auto *compare = r.window->findChild<frmCompare *>(QStringLiteral("frmCompare"));
    ASSERT_TRUE(compare);
    QStringList marked;
    for (int i = 0; i < compare->table()->rowCount(); ++i) {
        if (compare->table()->item(i, 3)->text() == "!")
            marked << QStringList { compare->table()->item(i, 0)->text(),
                compare->table()->item(i, 1)->text(), compare->table()->item(i, 2)->text() }
                          .join('/');
    }
    EXPECT_EQ(marked, rows);
    compare->close();
}

TEST(Cli, PollWithJsonIsOneObjectPerReadingAndHelpSaysSo)
{
    RigCase t(QStringLiteral("Dravion"), {}, {}, true);
    const Cli poll = run(*t, { "poll", "--count", "3", "--json" });
    EXPECT_EQ(poll.status, 0) << poll.err.toStdString();
    const QStringList lines = poll.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 3);
    for (const QString &line : lines)
        EXPECT_TRUE(QJsonDocument::fromJson(line.toUtf8()).object().contains("frequency"))
            << line.toStdString();

    const Cli help = ProgramRun::of(QStringLiteral(QRX_CLI_PATH), { "--help" }, 10000);
    const QString &text = help.out;
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(text.startsWith("Usage: qrx-cli read FILE.dat")) << text.toStdString();
    for (const char *told : { "or: qrx-cli poll [--count N]", "JSON Lines", "4 the device",
             "refused a command (a device error reply)" })
        EXPECT_TRUE(text.contains(told)) << told;
}

// read and download keep their setups in the window's history; --backup reads the whole setup
// into its folder before the first write, and a backup read that fails sends no write.
TEST(Cli, ReadAndDownloadKeepHistoryAndABackupComesWholeBeforeTheFirstWrite)
{
    RigCase t(QStringLiteral("Dravion"), { QStringLiteral("known") }, {}, true);
    Rig &r = *t;
    QDir(SetupHistory::defaultFolder()).removeRecursively();
    const QString saved = r.dir.filePath(QStringLiteral("setup.dat"));
    ASSERT_EQ(run(r, { "read", saved }).status, 0);
    edit(saved, { "11=7>11=4" });
    const QString folder = r.dir.filePath(QStringLiteral("backups"));
    r.mark();
    const Cli download = run(r, { "download", saved, "--backup", folder });
    EXPECT_EQ(download.status, 0) << download.err.toStdString();

    QStringList sent = r.receivedSinceMark();
    const int firstWrite = int(sent.indexOf(QStringLiteral("<STX>3i2<CR>")));
    EXPECT_EQ(sent.mid(0, firstWrite),
        frameList(words(QStringLiteral("V I 3i 4i 8i 9f 11i 15f 16f 100i 7f +points V"))));
    const QStringList backups = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{6}_backup_\\w+\\.dat$"))
                    .match(backups[0])
                    .hasMatch());
    EXPECT_TRUE(readAll(QDir(folder).filePath(backups[0])).contains("\r\n11=7\r\n"));
    EXPECT_EQ(r.deviceValue(11), 4);

    QStringList whats;
    for (const SetupHistory::Entry &e : SetupHistory().entries(DeviceFamily::dravion()))
        whats << SetupHistory::whatName(e.what);
    EXPECT_EQ(whats, QStringList({ "download", "read" }));
}
