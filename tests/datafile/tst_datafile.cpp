// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "app/mainwindowshell.h"
#include "datafile/datafilecommands.h"
#include "datafile/datafilefolders.h"
#include "datafile/datafilereader.h"
#include "datafile/datafilewriter.h"
#include "params/fieldchecks.h"
#include "params/mainwindowcontrols.h"
#include "params/parameterset.h"
#include "rig.h"
#include "table.h"

namespace {

const QString Table = QStringLiteral("datafile/files.txt");
const QString Corrupt = QStringLiteral("Corrupt Data File!  Continue loading?");

// A family's main window on the rig, saving to and opening from the rig's folder.
struct Files : Rig
{
    explicit Files(const QString &family = QStringLiteral("Dravion"))
        : Rig(family)
    {
        EXPECT_TRUE(start());
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    void save(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        window->dataFiles().mnuSave_Click();
    }
    void open(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        window->dataFiles().mnuOpen_Click();
    }
    // "name=value" for every control named in "name=..." or "name" words.
    QStringList screen(const QString &names) const
    {
        QStringList out;
        for (const QString &w : words(names))
            out << w.section('=', 0, 0) + '=' + shown(w.section('=', 0, 0));
        return out;
    }
};

} // namespace

TABLE_TEST(DataFileReader, Lines, Table, "lines")
{
    const auto lines = DataFileReader::parse(row["line"].toLatin1(), QLatin1Char('.'));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(QStringList({ QString::number(lines[0].isEntry), lines[0].name, lines[0].value,
                  QString::number(lines[0].sound) }),
        QStringList({ row["entry"], row["name"], row["value"], row["sound"] }));
}

TABLE_TEST(DataFileReader, Selections, Table, "selection")
{
    const auto index = DataFileReader::selectionIndex(row["value"], row.number("entries"), QLatin1Char('.'));
    EXPECT_EQ(index ? QString::number(*index) : QStringLiteral("none"), row["index"]);
}

TABLE_TEST(DataFileReader, Texts, Table, "texts")
{
    EXPECT_EQ(DataFileReader::fieldText(row["value"], row["point"][0]), row["field"]);
    EXPECT_EQ(DataFileReader::passwordText(row["value"], row["point"][0]), row["password"]);
}

TEST(DataFileReader, EitherSeparatorAndEveryLineEnd)
{
    // Under a comma locale both separators are sound, so files from either locale open.
    EXPECT_TRUE(DataFileReader::parse("9=1,5", QLatin1Char(','))[0].sound);
    EXPECT_TRUE(DataFileReader::parse("9=1.5", QLatin1Char(','))[0].sound);
    EXPECT_EQ(DataFileReader::selectionIndex(QStringLiteral("1,5"), 3, QLatin1Char(',')), 2);
    const auto lines = DataFileReader::parse("H\r\n3=1\r4=2\n\n7=3\r\n", QLatin1Char('.'));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].value + lines[4].name, "27");
}

namespace {

// The records as the configuration and the window leave them.
struct KnownRecords : Files
{
    KnownRecords()
    {
        enter("cboRateUnits=2 cboKfactorUnits=1 txtDamping=5 txtFlowLow=0.025 txtFlowHi=1234567 "
              "txtLinearPts=3 txtSpg=1 txtFreq0=100 txtCoef0=1.5 txtFreq2=31999 txtCoef2=1E-07");
        state.KfactorItems[0].value = 12.5f;
        state.KfactorItems[1].value = 7.25f; // differs from entry 0 to show which record is written
    }
    QByteArray written(int units, const QString &points, QChar point) const
    {
        const auto entries = DataFileWriter::entries(ParameterSet::dravion(), state, units, points, point);
        return entries ? DataFileWriter::toBytes(*entries) : QByteArray("failed");
    }
};

} // namespace

TABLE_TEST(DataFileWriter, WritesTheDravionSetByteForByte, Table, "dravion")
{
    const QByteArray expected
        = row["entries"] == "failed" ? QByteArray("failed") : setupFile(row.words("entries"));
    EXPECT_EQ(KnownRecords().written(row.number("units"), row["points"], row["point"][0]), expected);
}

TEST(DataFileWriter, WritesAnEleventhPairAndASpecificGravityWithoutItsLine)
{
    KnownRecords f;
    EXPECT_TRUE(f.written(-1, "11", '.').endsWith("\r\n0=0\r\n0=0\r\n")); // the eleventh pair has no record
    f.state.SpgItem.code = 0; // its configuration line was missing
    EXPECT_TRUE(f.written(-1, "", '.').endsWith("\r\n100=3\r\n0=1\r\n"));
}

TEST(DataFileWriter, SaveReachesFilesTheUserMayOnlyOverwriteAndFollowsLinks)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    ASSERT_TRUE(d.mkdir("locked") && d.mkdir("real"));
    for (const char *name : { "locked/setup.dat", "real/setup.dat" }) {
        writeFile(d.filePath(name), "old\r\n");
        QFile::setPermissions(d.filePath(name), QFile::Permissions(0x6666)); // everyone may overwrite it
    }
    ASSERT_TRUE(QFile::link(d.filePath("real/setup.dat"), d.filePath("link.dat")));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    QFile::setPermissions(d.filePath("real"), QFile::Permissions(0x7777));
    QFile::setPermissions(d.filePath("locked"), QFile::Permissions(0x5555)); // nothing new may be created
    const QByteArray bytes = setupFile({ "11=5" });
    const char *const rows[][2]
        = { { "locked/setup.dat", "locked/setup.dat" }, { "link.dat", "real/setup.dat" } };
    for (const auto &r : rows) {
        bool saved = false;
        if (geteuid() == 0) { // root ignores folder permissions: save as an unprivileged user
            const pid_t child = fork();
            if (child == 0)
                _exit(
                    setgid(65534) == 0 && setuid(65534) == 0 && DataFileWriter::save(d.filePath(r[0]), bytes)
                        ? 0
                        : 1);
            int status = -1;
            waitpid(child, &status, 0);
            saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        } else {
            saved = DataFileWriter::save(d.filePath(r[0]), bytes);
        }
        EXPECT_TRUE(saved) << r[0];
        EXPECT_EQ(readAll(d.filePath(r[1])), bytes) << r[0];
    }
    EXPECT_TRUE(QFileInfo(d.filePath("link.dat")).isSymLink());
    EXPECT_EQ(QDir(d.filePath("locked")).entryList(QDir::Files), QStringList { "setup.dat" });
    QFile::setPermissions(d.filePath("locked"), QFile::Permissions(0x7755)); // so the folder can be removed
}

TEST(DataFileCommands, DialogsCarryTheirSettingsAndCancelTouchesNothing)
{
    for (const QString family : { "Dravion", "MR" }) {
        Files f(family);
        f.set("txtDamping", "9");
        f.window->setStatusText(QStringLiteral("Status:  Com1"));
        f.window->dataFiles().mnuSave_Click(); // nothing queued: the user cancels
        f.window->dataFiles().mnuOpen_Click();
        QStringList seen;
        for (const auto &d : f.dialogs.fileDialogs)
            seen << QStringList({ d.title, d.filter, d.defaultSuffix, QString::number(d.overwritePrompt),
                                    QDir::fromNativeSeparators(d.folder).section('/', -2) })
                        .join('|');
        EXPECT_EQ(seen,
            QStringList({ "Save Data File as|Initilization File (*.dat)|dat|1|QRX Setups/",
                "Select Data File to Open|Text files (*.dat)||0|QRX Setups/" }));
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_EQ(f.shown("txtDamping") + f.window->statusText(), "9Status:  Com1");
    }
}

// The program's folder of an installed copy has neither subfolder and may not be written: the
// dialogs must offer a folder that is there.
TABLE_TEST(DataFileFolders, DescribedSubfolderWhereItExistsElseOneInTheDocuments, Table, "folders")
{
    QTemporaryDir root;
    QDir d(root.path());
    ASSERT_TRUE(d.mkpath("program"));
    for (const QString &entry : row["holds"].split(',', Qt::SkipEmptyParts)) {
        const QString path = d.filePath("program/" + entry.trimmed());
        ASSERT_TRUE(path.endsWith('/') ? d.mkpath(path) : QFile(path).open(QIODevice::WriteOnly));
    }
    if (row["documents"] == "yes") {
        ASSERT_TRUE(d.mkpath("Documents"));
    }
    const QString folder = QDir::fromNativeSeparators(
        DataFileFolders::initialFolder(d.filePath("program"), row["subfolder"], d.filePath("Documents")));
    EXPECT_EQ(folder, d.filePath(row["starts in"]));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// Save writes the family's set, Clear empties the window, Open gives it all back and a second
// Save writes the same bytes, so the records came back as well.
TABLE_TEST(DataFileCommands, SaveThenOpenGivesBackTheWholeWindow, Table, "roundtrip")
{
    Files f(row["family"]);
    f.enter(row["entered"]);
    const QStringList before = f.screen(row["entered"]);
    f.save(f.path("round.dat"));
    EXPECT_EQ(readAll(f.path("round.dat")), setupFile(row.words("entries")));
    f.c().mnuClear->trigger();
    EXPECT_NE(f.screen(row["entered"]), before);
    f.open(f.path("round.dat"));
    EXPECT_EQ(f.screen(row["entered"]), before);
    EXPECT_EQ(f.window->statusText(), "Status:  Opened-->  round.dat");
    f.save(f.path("again.dat"));
    EXPECT_EQ(readAll(f.path("again.dat")), readAll(f.path("round.dat")));
    EXPECT_TRUE(f.dialogs.messages.empty()) << f.dialogs.texts().join('|').toStdString();
}

TEST(DataFileCommands, FailedSaveKeepsThePreviousFileAndLeavesNoPartOne)
{
    Files f;
    const QString old = f.path("old.dat");
    writeFile(old, "previous good setup\r\n");
    writeFile(f.path("plain"), "a file, not a folder");
    const std::pair<QString, const char *> rows[] = {
        { old, "12" },
        { old, "40000" },
        { f.path("missing/new.dat"), "1" },
        { f.path("plain/new.dat"), "1" },
        { f.dir.path(), "1" },
    };
    for (const auto &[target, points] : rows) {
        f.dialogs.clear();
        f.set("txtLinearPts", points);
        f.save(target);
        ASSERT_EQ(f.dialogs.texts(), QStringList({ "Saving File Error!" })) << target.toStdString() << points;
        EXPECT_EQ(f.dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
    EXPECT_EQ(readAll(old), "previous good setup\r\n");
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList({ "config", "old.dat", "plain" }));
}

TABLE_TEST(DataFileCommands, OpenAppliesEntriesAndStopsWhereItMust, Table, "open")
{
    Files f(row["family"]);
    for (const QChar a : row["answers"])
        f.dialogs.answers.push_back(a == 'Y' ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    writeFile(f.path("in.dat"), setupFile(row["file"].split("\\n")));
    f.open(f.path("in.dat"));
    QString messages;
    for (const auto &m : f.dialogs.messages) {
        const bool corrupt = m.text == Corrupt && m.title == "ERROR" && m.icon == UserDialogs::Icon::None
            && m.buttons == UserDialogs::Buttons::YesNo;
        const bool error = m.text == "Opening File Error!" && m.icon == UserDialogs::Icon::Critical;
        messages += corrupt ? 'C' : error ? 'E' : '?';
    }
    EXPECT_EQ(messages, row["messages"]);
    for (const QString &expected : row.words("afterwards")) {
        if (expected == "opened" || expected == "cleared")
            EXPECT_EQ(f.window->statusText(),
                expected == "opened" ? "Status:  Opened-->  in.dat" : "Status:  All Data Cleared");
        else
            EXPECT_EQ(f.screen(expected), QStringList { expected });
    }
}

TEST(DataFileCommands, FileThatCannotBeReadLeavesTheWindowUntouched)
{
    Files f;
    QDir(f.dir.path()).mkdir(QStringLiteral("folder.dat"));
    writeFile(f.path("big.dat"), QByteArray(DataFileReader::MaxFileSize + 1, '\n'));
    for (const QString &target :
        { f.path("nothing.dat"), f.path("folder.dat"), f.path("big.dat"), QString() }) {
        f.dialogs.clear();
        f.enter("cboRateUnits=1 txtDamping=9");
        f.window->setStatusText(QStringLiteral("Status:  Com1"));
        f.open(target);
        ASSERT_EQ(f.dialogs.texts(), QStringList({ "Opening File Error!" })) << target.toStdString();
        EXPECT_EQ(
            f.shown("cboRateUnits") + f.shown("txtDamping") + f.window->statusText(), "M39Status:  Com1");
    }
}

TEST(DataFileCommands, RealsFollowTheUserLocaleAndOpenUnderEither)
{
    Files f;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    f.enter("txtKfactor=12.5 txtFlowLow=0.025");
    f.save(f.path("de.dat"));
    EXPECT_TRUE(readAll(f.path("de.dat")).contains("\r\n15=0,025\r\n16=0\r\n"));
    // Fields read numbers with ".", so a comma file gives its values back in that form.
    writeFile(f.path("mixed.dat"), "9=12,5\r\n15=1.5E3\r\n16=2.5\r\n3=1,5\r\n");
    f.open(f.path("mixed.dat"));
    QLocale::setDefault(QLocale::c());
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.screen("txtKfactor txtFlowLow txtFlowHi cboRateUnits").join(' '),
        "txtKfactor=12.5 txtFlowLow=1.5E3 txtFlowHi=2.5 cboRateUnits=Kgs");
    EXPECT_FLOAT_EQ(f.state.KfactorItems[0].value, 12.5f);
}

TEST(DataFileCommands, MalformedFilesNeverCrashOrHang)
{
    std::vector<QByteArray> files = {
        QByteArray(),
        "\r\r\r\n\n\n",
        "=\r\n==\r\n",
        QByteArray("9=") + QByteArray(200000, '9'),
        QByteArray("3=") + QByteArray(200000, '9'),
        QByteArray(300000, 'x') + "=1",
        "3=1E308\r\n9=-1E308\r\n100=1E-400\r\n11=99999999999\r\n101=1E39\r\n102=-\r\n103=.\r\n",
        QByteArray("\xef\xbb\xbf"
                   "3=1\r\n\xff\xfe\x00\x01=\x80\r\n",
            16),
    };
    Files f;
    for (std::size_t i = 0; i < files.size(); ++i) {
        f.dialogs.clear();
        f.dialogs.answers = { UserDialogs::Answer::Yes, UserDialogs::Answer::Yes, UserDialogs::Answer::No };
        writeFile(f.path("junk.dat"), files[i]);
        f.open(f.path("junk.dat"));
        for (const QString &t : f.dialogs.texts())
            EXPECT_TRUE(t == "Opening File Error!" || t == Corrupt) << i;
        EXPECT_LE(f.dialogs.messages.size(), 3u) << i;
    }
}

TABLE_TEST(ClearAllData, EmptiesEveryControlAndUnflagsIt, Table, "clear")
{
    Files f(row["family"]);
    f.enter(row["entered"]);
    const QStringList flagged
        = { "RateUnits", "RateInterval", "Damping", "FlowLow", "FlowHi", "LinearPts", "Spg" };
    for (const QString &name : flagged)
        FlagField(f.control<QLabel>("lbl" + name), f.control<QLabel>("lbl" + name + "E"));
    f.c().mnuClear->trigger();
    EXPECT_EQ(f.screen(row["controls"]).join(' '), row.words("controls").join("= ") + '=');
    for (const QString &name : flagged) {
        EXPECT_FALSE(IsFieldFlagged(f.control<QLabel>("lbl" + name + "E"))) << name.toStdString();
        EXPECT_NE(f.control<QLabel>("lbl" + name)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }
    const DeviceState &s = f.state;
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(s.LinFreqItems[i].value == -1 && s.LinFlowItems[i].value == -1.0f) << i;
    EXPECT_EQ(QList<float>({ s.KfactorItems[0].value, s.KfactorItems[1].value, float(s.DampingItem.value),
                  s.FlowLowItem.value, s.FlowHiItem.value, float(s.LinearPtsItem.value), s.SpgItem.value,
                  float(s.PasswordItem.value), s.ScaleFactorItem.value }),
        QList<float>(9, 0.0f));
    EXPECT_EQ(f.window->statusText(), "Status:  All Data Cleared");
    EXPECT_TRUE(f.dialogs.messages.empty());
    if (f.isMr()) { // Low Flow Cutoff keeps its default, and a saved file ends with the empty set
        EXPECT_EQ(f.shown("txtLowFlowCutoff"), "0.025");
        EXPECT_FLOAT_EQ(s.LowFlowCutoffItem.value, 0.025f);
        f.save(f.path("cleared.dat"));
        EXPECT_TRUE(readAll(f.path("cleared.dat"))
                        .endsWith("12=0.025\r\n13=0\r\n14=-1\r\n17=0\r\n18=0\r\n19=0\r\n100=0\r\n"));
    }
}

// Clear walks the Dravion controls in order, through "0" and entry 0, so that every change handler
// runs; the point tables take -1 right after each text is emptied, over what the handler stored.
TEST(ClearAllData, RunsEveryDravionHandlerInOrder)
{
    Files f;
    f.enter(
        "cboRateUnits=2 cboRateInterval=1 cboKfactorUnits=1 txtKfactor=12.5 txtDamping=5 txtFlowLow=0.025 "
        "txtFlowHi=150 txtLinearPts=3 txtSpg=1.2 txtFreq1=2000 txtCoef1=0.003");
    QStringList seen;
    for (const QString &name : words("cboRateUnits cboRateInterval cboKfactorUnits"))
        QObject::connect(f.control<QComboBox>(name), &QComboBox::currentIndexChanged, f.window.get(),
            [&seen, name](int index) { seen << name + '=' + QString::number(index); });
    for (const QString &name : words("txtKfactor txtDamping txtFlowLow txtFlowHi txtLinearPts txtSpg"))
        QObject::connect(f.control<QLineEdit>(name), &QLineEdit::textChanged, f.window.get(),
            [&seen, name](const QString &t) { seen << name + '=' + t; });
    QObject::connect(f.control<QLineEdit>("txtCoef1"), &QLineEdit::textChanged, f.window.get(),
        [&] { seen << QStringLiteral("txtCoef1 sees frequency %1").arg(f.state.LinFreqItems[1].value); });
    f.c().mnuClear->trigger();
    EXPECT_EQ(seen.join(' '),
        "cboRateUnits=0 cboRateUnits=-1 cboRateInterval=0 cboRateInterval=-1 cboKfactorUnits=0 "
        "cboKfactorUnits=-1 txtKfactor=0 txtKfactor= txtDamping=0 txtDamping= txtFlowHi=1 "
        "txtFlowLow=0 txtFlowLow= txtFlowHi= txtLinearPts=0 txtLinearPts= txtSpg=0 txtSpg= "
        "txtCoef1 sees frequency -1");
    f.control<QComboBox>("cboRateInterval")->clear(); // a list without entries stays unselected
    f.window->setStatusText(QString());
    f.c().mnuClear->trigger();
    EXPECT_EQ(f.control<QComboBox>("cboRateInterval")->currentIndex(), -1);
    EXPECT_EQ(f.window->statusText(), "Status:  All Data Cleared");
}
