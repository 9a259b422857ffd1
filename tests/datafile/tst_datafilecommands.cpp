#include <gtest/gtest.h>

#include <memory>
#include <random>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>

#include "app/frmaltmain.h"
#include "datafile/datafilecommands.h"
#include "datafile/datafilereader.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "params/fieldchecks.h"
#include "fakeuserdialogs.h"

namespace {

const char *const Corrupt = "Corrupt Data File!  Continue loading?";
// A setup typed into the window: controls and what they show (the index for a list); point 3 never entered.
const char *const Typed[][2] = {
    {"cboRateUnits", "2"}, {"cboRateInterval", "1"}, {"cboKfactorUnits", "1"}, {"txtKfactor", "12.5"},
    {"txtDamping", "5"},   {"txtFlowLow", "0.025"}, {"txtFlowHi", "150"},       {"txtLinearPts", "3"},
    {"txtSpg", "1.2"},     {"txtFreq0", "100"},     {"txtCoef0", "1.25"},       {"txtFreq1", "2000"},
    {"txtCoef1", "0.003"},
};

// One main window on its own state, with lists of known entries in place of the configured ones.
struct Bench
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    std::unique_ptr<frmAltMain> window = std::make_unique<frmAltMain>(context);

    Bench()
    {
        fill("cboRateUnits", {"Gal", "Ltr", "Kgs", "Lbs"});
        fill("cboRateInterval", {"Sec", "Min", "Hr"});
        fill("cboKfactorUnits", {"P/Gal", "P/Ltr"});
    }
    void fill(const char *name, const QStringList &entries)
    {
        combo(name)->clear();
        combo(name)->addItems(entries);
        combo(name)->setCurrentIndex(-1);
    }
    QComboBox *combo(const char *name) { return window->findChild<QComboBox *>(QString::fromLatin1(name)); }
    QLineEdit *edit(const QString &name)
    {
        auto *e = window->findChild<QLineEdit *>(name);
        return e ? e : window->linearPoints().window()->findChild<QLineEdit *>(name);
    }
    // "cbo..." gives the selected index, anything else the field text.
    QString shown(const QString &name)
    {
        return name.startsWith(QLatin1String("cbo")) ? QString::number(combo(qPrintable(name))->currentIndex())
                                                     : edit(name)->text();
    }
    void set(const QString &name, const QString &value)
    {
        if (name.startsWith(QLatin1String("cbo")))
            combo(qPrintable(name))->setCurrentIndex(value.toInt());
        else
            edit(name)->setText(value);
    }
    void typeSetup()
    {
        for (const auto &t : Typed)
            set(QString::fromLatin1(t[0]), QString::fromLatin1(t[1]));
    }
    void save(const QString &path) { dialogs.fileAnswers.push_back(path); window->dataFiles().mnuSave_Click(); }
    void open(const QString &path) { dialogs.fileAnswers.push_back(path); window->dataFiles().mnuOpen_Click(); }
};

struct DataFileCommandsTest : ::testing::Test
{
    QTemporaryDir dir;
    Bench bench;

    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString file(const char *name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    static std::string contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
    }
};

} // namespace

TEST_F(DataFileCommandsTest, DialogsCarryTheirSettingsAndCancelTouchesNothing)
{
    bench.edit("txtDamping")->setText(QStringLiteral("9"));
    bench.window->setStatusText(QStringLiteral("Status:  Com1"));
    bench.window->dataFiles().mnuSave_Click(); // nothing queued: the user cancels
    bench.window->dataFiles().mnuOpen_Click();
    ASSERT_EQ(bench.dialogs.fileDialogs.size(), 2u);
    const auto &save = bench.dialogs.fileDialogs[0];
    const auto &open = bench.dialogs.fileDialogs[1];
    EXPECT_EQ(QStringList({save.title, save.filter, save.defaultSuffix}),
              QStringList({"Save Data File as", "Initilization File (*.dat)", "dat"}));
    EXPECT_TRUE(save.overwritePrompt);
    EXPECT_TRUE(save.folder.endsWith(QDir::toNativeSeparators(QStringLiteral("/File Path/"))));
    EXPECT_EQ(QStringList({open.title, open.filter, open.defaultSuffix}),
              QStringList({"Select Data File to Open", "Text files (*.dat)", ""}));
    EXPECT_FALSE(open.overwritePrompt);
    EXPECT_TRUE(open.folder.endsWith(QDir::toNativeSeparators(QStringLiteral("/Data Files/"))));
    EXPECT_TRUE(bench.dialogs.messages.empty());
    EXPECT_EQ(bench.shown("txtDamping") + bench.window->statusText(), "9Status:  Com1");
}

TEST_F(DataFileCommandsTest, SaveThenOpenGivesBackTheWholeWindow)
{
    bench.typeSetup();
    bench.save(path("round.dat"));
    ASSERT_TRUE(bench.dialogs.messages.empty());
    EXPECT_EQ(contents(path("round.dat")),
              "Parameter <Equals> Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0.025\r\n16=150\r\n100=3\r\n"
              "7=1.2\r\n101=100\r\n102=1.25\r\n103=2000\r\n104=0.003\r\n105=-1\r\n106=-1\r\n");

    Bench back;
    back.open(path("round.dat"));
    EXPECT_TRUE(back.dialogs.messages.empty());
    EXPECT_EQ(back.window->statusText(), "Status:  Opened-->  round.dat");
    for (const auto &t : Typed)
        EXPECT_EQ(back.shown(QString::fromLatin1(t[0])), t[1]) << t[0];
    const DeviceState &b = back.state;
    EXPECT_EQ(QList<int>({b.RateUnits, b.RateInterval, b.KfactorUnits, b.DampingItem.value, b.LinearPtsItem.value,
                          b.LinFreqItems[1].value, b.LinFreqItems[2].value}),
              QList<int>({2, 1, 1, 5, 3, 2000, -1}));
    EXPECT_EQ(QList<float>({b.KfactorItems[1].value, b.FlowLowItem.value, b.FlowHiItem.value, b.SpgItem.value,
                            b.LinFlowItems[1].value, b.LinFlowItems[2].value}),
              QList<float>({12.5f, 0.025f, 150.0f, 1.2f, 0.003f, -1.0f}));
}

TEST_F(DataFileCommandsTest, FailedSaveKeepsThePreviousFileAndLeavesNoPartOne)
{
    const QString old = file("old.dat", "previous good setup\r\n");
    file("plain", "a file, not a folder");
    const std::pair<QString, const char *> rows[] = {
        {old, "12"}, {old, "40000"}, {path("missing/new.dat"), "1"}, {path("plain/new.dat"), "1"}, {dir.path(), "1"},
    };
    for (const auto &[target, points] : rows) {
        bench.dialogs.clear();
        bench.edit("txtLinearPts")->setText(QString::fromLatin1(points));
        bench.save(target);
        ASSERT_EQ(bench.dialogs.texts(), QStringList({"Saving File Error!"})) << target.toStdString() << points;
        EXPECT_EQ(bench.dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
    EXPECT_EQ(contents(old), "previous good setup\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"old.dat", "plain"}));
}

// Each row: a file (header added), the answers to corrupt questions, the messages in order (C corrupt
// question, E "Opening File Error!"), and controls with what they show afterwards.
TEST_F(DataFileCommandsTest, OpenAppliesEntriesAndStopsWhereItMust)
{
    const struct {
        const char *entries;
        const char *answers;
        const char *messages;
        const char *expected;
    } rows[] = {
        {"3=1.5\r\n4=2\r\n8=1\r\n9=1.5E3\r\n11= 7\r\nstray line\r\n\r\n15=0.5\r\n16=20\r\n13=512\r\n0=0\r\n=5\r\n"
         "100=0\r\n7=1", "", "",
         "cboRateUnits=2|cboRateInterval=2|cboKfactorUnits=1|txtKfactor=1.5E3|txtDamping= 7|txtFlowLow=0.5|"
         "txtFlowHi=20|txtLinearPts=0|txtSpg=1|opened"},
        // A file of the other family: shared codes land on this window's parameters, the rest is passed over.
        {"1=1\r\n2=3\r\n3=2\r\n4=1\r\n5=1\r\n6=1.5\r\n7=2.5\r\n8=0\r\n9=3\r\n10=4\r\n11=6\r\n12=0.025\r\n13=7\r\n"
         "14=1\r\n17=10\r\n18=90\r\n19=7\r\n100=1", "", "",
         "cboRateUnits=2|cboRateInterval=1|txtSpg=2.5|cboKfactorUnits=0|txtKfactor=3|txtDamping=6|txtLinearPts=1|"
         "txtFlowLow=|txtFlowHi=|opened"},
        {"11=4\r\nword=1\r\n16=abc\r\n15=3", "YY", "CC", "txtDamping=4|txtFlowHi=|txtFlowLow=3|opened"},
        {"11=4\r\nword=1\r\n16=abc\r\n15=3", "N", "C", "txtDamping=4|txtFlowLow=|Status:  All Data Cleared"},
        {"11=4\r\n3=99\r\n16=5", "", "E", "txtDamping=4|txtFlowHi=|Status:  All Data Cleared"},
    };
    for (const auto &r : rows) {
        Bench s;
        for (const char *a = r.answers; *a; ++a)
            s.dialogs.answers.push_back(*a == 'Y' ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
        s.open(file("in.dat", QByteArray("Parameter <Equals> Value\r\n") + r.entries + "\r\n"));
        QString messages;
        for (const auto &m : s.dialogs.messages) {
            const bool corrupt = m.text == Corrupt && m.title == "ERROR" && m.icon == UserDialogs::Icon::None
                && m.buttons == UserDialogs::Buttons::YesNo;
            const bool error = m.text == "Opening File Error!" && m.icon == UserDialogs::Icon::Critical;
            messages += corrupt ? QLatin1Char('C') : error ? QLatin1Char('E') : QLatin1Char('?');
        }
        EXPECT_EQ(messages, r.messages) << r.entries;
        for (const QString &item : QString::fromLatin1(r.expected).split(QLatin1Char('|'))) {
            const qsizetype eq = item.indexOf(QLatin1Char('='));
            if (eq < 0)
                EXPECT_EQ(s.window->statusText(), item == "opened" ? "Status:  Opened-->  in.dat" : item) << r.entries;
            else
                EXPECT_EQ(s.shown(item.left(eq)), item.mid(eq + 1)) << r.entries << " " << item.toStdString();
        }
    }
}

TEST_F(DataFileCommandsTest, FileThatCannotBeReadLeavesTheWindowUntouched)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.dat"));
    file("big.dat", QByteArray(DataFileReader::MaxFileSize + 1, '\n'));
    for (const QString &target : {path("nothing.dat"), path("folder.dat"), path("big.dat"), QString()}) {
        Bench s;
        s.combo("cboRateUnits")->setCurrentIndex(1);
        s.edit("txtDamping")->setText(QStringLiteral("9"));
        s.window->setStatusText(QStringLiteral("Status:  Com1"));
        s.open(target);
        ASSERT_EQ(s.dialogs.texts(), QStringList({"Opening File Error!"})) << target.toStdString();
        EXPECT_EQ(s.shown("cboRateUnits") + s.shown("txtDamping") + s.window->statusText(), "19Status:  Com1");
    }
}

TEST_F(DataFileCommandsTest, RealsFollowTheUserLocaleAndOpenUnderEither)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bench.set("txtKfactor", "12.5");
    bench.set("txtFlowLow", "0.025");
    bench.save(path("de.dat"));
    const std::string written = contents(path("de.dat"));
    EXPECT_NE(written.find("\r\n15=0,025\r\n16=0\r\n"), std::string::npos) << written;

    // Fields read numbers with ".", so a comma file gives its values back in that form.
    bench.open(file("mixed.dat", "9=12,5\r\n15=1.5E3\r\n16=2.5\r\n3=1,5\r\n"));
    EXPECT_TRUE(bench.dialogs.messages.empty());
    for (const char *expected : {"txtKfactor=12.5", "txtFlowLow=1.5E3", "txtFlowHi=2.5", "cboRateUnits=2"}) {
        const QStringList pair = QString::fromLatin1(expected).split(QLatin1Char('='));
        EXPECT_EQ(bench.shown(pair[0]), pair[1]) << expected;
    }
    EXPECT_FLOAT_EQ(bench.state.KfactorItems[0].value, 12.5f);
}

TEST_F(DataFileCommandsTest, MalformedFilesNeverCrashOrHang)
{
    std::mt19937 random(20240607);
    std::vector<QByteArray> files = {
        QByteArray(), "\r\r\r\n\n\n", "=\r\n==\r\n", QByteArray("9=") + QByteArray(200000, '9'),
        QByteArray("3=") + QByteArray(200000, '9'), QByteArray(300000, 'x') + "=1",
        "3=1E308\r\n9=-1E308\r\n100=1E-400\r\n11=99999999999\r\n101=1E39\r\n102=-\r\n103=.\r\n",
        QByteArray("\xef\xbb\xbf" "3=1\r\n\xff\xfe\x00\x01=\x80\r\n", 16),
    };
    for (int i = 0; i < 20; ++i) {
        QByteArray bytes(int(random() % 4000), '\0');
        for (char &c : bytes)
            c = char(random() % 6 == 0 ? "=\r\n.-E"[random() % 6] : random() % 256);
        files.push_back(bytes);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        bench.dialogs.clear();
        bench.dialogs.answers = {UserDialogs::Answer::Yes, UserDialogs::Answer::Yes, UserDialogs::Answer::No};
        bench.open(file("junk.dat", files[i]));
        for (const QString &t : bench.dialogs.texts())
            EXPECT_TRUE(t == "Opening File Error!" || t == Corrupt) << i;
        EXPECT_LE(bench.dialogs.messages.size(), 3u) << i;
    }
}

// Clear all Data walks the controls in order, through "0" and entry 0, so that every change handler runs.
TEST_F(DataFileCommandsTest, ClearAllDataEmptiesEveryControlThroughItsHandlers)
{
    AltMainControls &c = bench.window->controls();
    const QList<QLabel *> captions = {c.lblRateUnits, c.lblRateInterval, c.lblKfactorUnits,
                                      c.lblKFactor,   c.lblDamping,      c.lblFlowLow,
                                      c.lblFlowHi,    c.lblLinearPts,    c.lblSpg};
    const QList<QLabel *> markers = {c.lblRateUnitsE, c.lblRateIntervalE, c.lblKfactorUnitsE,
                                     c.lblKfactorE,   c.lblDampingE,      c.lblFlowLowE,
                                     c.lblFlowHiE,    c.lblLinearPtsE,    c.lblSpgE};
    bench.typeSetup();
    for (int i = 0; i < captions.size(); ++i)
        FlagField(captions[i], markers[i]);
    QStringList seen;
    for (QComboBox *list : {c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits})
        QObject::connect(list, &QComboBox::currentIndexChanged, list, [&seen, list](int index) {
            seen << list->objectName() + '=' + QString::number(index);
        });
    for (QLineEdit *text : {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg})
        QObject::connect(text, &QLineEdit::textChanged, text,
                         [&seen, text](const QString &t) { seen << text->objectName() + '=' + t; });
    // The tables take -1 right after each text is emptied, over what the change handler stored.
    QObject::connect(bench.edit("txtCoef1"), &QLineEdit::textChanged, bench.window.get(), [&] {
        seen << QStringLiteral("txtCoef1 sees frequency %1").arg(bench.state.LinFreqItems[1].value);
    });

    c.mnuClear->trigger();
    EXPECT_EQ(seen, QStringList({"cboRateUnits=0", "cboRateUnits=-1", "cboRateInterval=0",
                                 "cboRateInterval=-1", "cboKfactorUnits=0", "cboKfactorUnits=-1", "txtKfactor=0",
                                 "txtKfactor=", "txtDamping=0", "txtDamping=", "txtFlowHi=1", "txtFlowLow=0",
                                 "txtFlowLow=", "txtFlowHi=", "txtLinearPts=0", "txtLinearPts=", "txtSpg=0",
                                 "txtSpg=", "txtCoef1 sees frequency -1"}));
    for (const auto &t : Typed)
        EXPECT_EQ(bench.shown(QString::fromLatin1(t[0])), t[0][0] == 'c' ? "-1" : "") << t[0];
    const DeviceState &s = bench.state;
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        EXPECT_EQ(bench.shown(QStringLiteral("txtFreq%1").arg(i)), "") << i;
        EXPECT_EQ(bench.shown(QStringLiteral("txtCoef%1").arg(i)), "") << i;
        EXPECT_TRUE(s.LinFreqItems[i].value == -1 && s.LinFlowItems[i].value == -1.0f) << i;
    }
    EXPECT_EQ(QList<float>({s.KfactorItems[0].value, s.KfactorItems[1].value, float(s.DampingItem.value),
                            s.FlowLowItem.value, s.FlowHiItem.value, float(s.LinearPtsItem.value),
                            s.SpgItem.value}),
              QList<float>(7, 0.0f));
    for (int i = 0; i < captions.size(); ++i) {
        EXPECT_TRUE(markers[i]->isHidden()) << i;
        EXPECT_EQ(captions[i]->palette().color(QPalette::WindowText), QColor(0, 0, 0)) << i;
    }
    EXPECT_EQ(bench.window->statusText(), "Status:  All Data Cleared");
    EXPECT_TRUE(bench.dialogs.messages.empty());
}

TEST_F(DataFileCommandsTest, ClearAllDataLeavesAListWithoutEntriesUnselected)
{
    bench.fill("cboRateInterval", {});
    bench.fill("cboKfactorUnits", {"Gal"});
    bench.combo("cboKfactorUnits")->setCurrentIndex(0);
    bench.window->controls().mnuClear->trigger();
    EXPECT_EQ(bench.shown("cboRateInterval") + bench.shown("cboKfactorUnits"), "-1-1");
    EXPECT_EQ(bench.window->statusText(), "Status:  All Data Cleared");
}
