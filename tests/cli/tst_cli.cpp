// qrx-cli against a simulated device on a pty: the same file as the window's Save, the described
// download bytes, exactly the changed items from compare, and an exit status per failure class.

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "datafile/datafilecommands.h"
#include "rigcase.h"

namespace {

struct Cli
{
    int status = -1;
    QString out, err;
};

// Runs the CLI against the rig's device (or the given port), with the rig's family and configuration.
Cli run(Rig &r, QStringList arguments, const QString &port = {})
{
    arguments << "--family" << r.options.family << "--config" << r.options.configPath << "--port"
              << (port.isEmpty() ? r.pty->path() : port);
    QProcess p;
    p.start(QStringLiteral(QRX_CLI_PATH), arguments);
    p.waitForFinished(60000);
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
        QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError()) };
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Cli, ReadGivesTheWindowsSavedFileAndDownloadSendsTheDescribedBytes)
{
    for (const TableRow &row : tableRows(QStringLiteral("cli/cli.txt"), QStringLiteral("download"))) {
        SCOPED_TRACE(row.where());
        RigCase source(row[0], row.words(1), {}, true);
        const QString cliFile = source->dir.filePath(QStringLiteral("cli.dat"));
        const Cli read = run(*source, { "read", cliFile });
        ASSERT_EQ(read.status, 0) << read.err.toStdString();

        source->c().btnRead->click();
        ASSERT_EQ(source->dialogs.texts(), QStringList { "Read Successful" });
        source->dialogs.fileAnswers.push_back(source->dir.filePath(QStringLiteral("window.dat")));
        source->window->dataFiles().mnuSave_Click();
        EXPECT_EQ(readAll(cliFile), readAll(source->dir.filePath(QStringLiteral("window.dat"))));

        RigCase target(row[0], {}, {}, true);
        const Cli download = run(*target, { "download", cliFile, "--verify" });
        EXPECT_EQ(download.status, 0) << download.err.toStdString();
        const QStringList sent = frameList(row.words(2));
        EXPECT_EQ(target->received().mid(0, sent.size()), sent);
        EXPECT_TRUE(download.err.contains("Verify Successful")) << download.err.toStdString();
    }
}

// The rows the window's Compare marks (tests/data/transfer) are the lines the CLI prints.
TEST(Cli, CompareListsExactlyTheChangedItems)
{
    for (const TableRow &row :
        tableRows(QStringLiteral("transfer/transfer.txt"), QStringLiteral("compare"))) {
        SCOPED_TRACE(row.where());
        RigCase t(row[0], row.words(1), {}, true);
        const QString saved = t->dir.filePath(QStringLiteral("setup.dat"));
        ASSERT_EQ(run(*t, { "read", saved }).status, 0);
        const Cli same = run(*t, { "compare", saved });
        EXPECT_EQ(same.status, 0);
        EXPECT_EQ(same.out, "");

        QStringList lines = QString::fromLatin1(readAll(saved)).split("\r\n");
        for (const QString &edit : row.words(2))
            lines.replaceInStrings(
                QRegularExpression('^' + edit.section('>', 0, 0) + '$'), edit.section('>', 1));
        writeFile(t->dir.filePath(QStringLiteral("edited.dat")), lines.join("\r\n").toLatin1());
        const Cli changed = run(*t, { "compare", t->dir.filePath(QStringLiteral("edited.dat")) });
        EXPECT_EQ(changed.status, 1);
        EXPECT_EQ(changed.out, row[3].replace(" ; ", "\n").replace('/', '\t') + '\n');
    }
}

TEST(Cli, EachFailureClassGivesItsStatusAndTheWindowsMessage)
{
    for (const TableRow &row : tableRows(QStringLiteral("cli/cli.txt"), QStringLiteral("failures"))) {
        SCOPED_TRACE(row.where());
        RigCase t(QStringLiteral("Dravion"), { "3=2", "11=5" }, row.words(1), true);
        Rig &r = *t;
        const QString sound = r.dir.filePath(QStringLiteral("sound.dat"));
        writeFile(sound,
            "Parameter <Equals> "
            "Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n16=100\r\n100=0\r\n7=0.85\r\n");
        const QString corrupt = r.dir.filePath(QStringLiteral("corrupt.dat"));
        writeFile(corrupt, "Parameter <Equals> Value\r\n3=2\r\n11=abc\r\n");
        const QString out = r.dir.filePath(QStringLiteral("out.dat"));
        QStringList args;
        for (const QString &a : row.words(2))
            args << (a == "FILE" ? sound : a == "CORRUPT" ? corrupt : a == "OUT" ? out : a);
        const Cli cli = run(r, args, row[3] == "-" ? QString() : row[3]);
        EXPECT_EQ(cli.status, row.number(4)) << cli.err.toStdString();
        EXPECT_TRUE(cli.err.contains(row[5])) << cli.err.toStdString();
        EXPECT_EQ(!r.received().isEmpty(), row[6] == "yes");
        EXPECT_FALSE(r.received().contains("<STX>W<CR>"));
        EXPECT_FALSE(QFile::exists(out));
    }
}
