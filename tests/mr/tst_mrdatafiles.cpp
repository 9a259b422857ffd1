#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "../transfer/rigsupport.h"
#include "app/settingsstore.h"
#include "datafile/datafilecommands.h"
#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "mr/frmmr.h"
#include "fakeuserdialogs.h"

namespace {

struct MrDataFileTest : ::testing::Test
{
    QTemporaryDir dir;
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context { state, nullptr, dialogs, QStringLiteral("MR") };
    frmMR window { context, QStringLiteral(QRX_CONFIG_DIR "/mr") };
    MrControls &c = window.controls();
    const std::vector<QComboBox *> lists { c.cboDisplayMode, c.cboRateUnits, c.cboRateInterval,
        c.cboTotalUnits, c.cboDisplayExp, c.cboMeterType, c.cboOutputMode };
    const std::vector<QLineEdit *> fields { c.txtSpg, c.txtScaleFactor, c.txtPressureComp, c.txtTempComp,
        c.txtSPGcomp, c.txtLowFlowCutoff, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtPassword,
        c.txtLinearPts };

    void SetUp() override { SettingsStore::open()->clear(); }
    void save(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        window.dataFiles().mnuSave_Click();
    }
    void open(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        window.dataFiles().mnuOpen_Click();
    }
    QString file(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Everything the user sees, main window and the first point rows.
    QStringList screen()
    {
        QStringList shown;
        for (QComboBox *box : lists)
            shown << QString::number(box->currentIndex());
        for (QLineEdit *field : fields)
            shown << field->text();
        for (int i = 0; i < 3; ++i)
            shown << window.linearPointsWindow()->txtFreq(i)->text() + '/'
                    + window.linearPointsWindow()->txtCoef(i)->text();
        return shown;
    }
};

} // namespace

TEST_F(MrDataFileTest, SaveWritesTheMrSetInItsOrderAndOpenGivesItAllBack)
{
    const int indexes[] = { 1, 4, 2, 1, 3, 2, 2 }; // Kgs enables Specific Gravity, Gas both compensations
    for (size_t i = 0; i < lists.size(); ++i)
        lists[i]->setCurrentIndex(indexes[i]);
    const QStringList texts = words("0.85 2.5 100 20.5 1.25 0.5 12 1.5 250 0007 2 10 1.5 250 0.75");
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i]->setText(texts[int(i)]);
    frmLinearPoints *points = window.linearPointsWindow();
    for (int i = 0; i < 2; ++i) {
        points->txtFreq(i)->setText(texts[11 + 2 * i]);
        points->txtCoef(i)->setText(texts[12 + 2 * i]);
    }
    const QStringList before = screen();

    save(file("setup.dat"));
    EXPECT_EQ(read(file("setup.dat")),
        QByteArray("Parameter <Equals> Value\r\n"
                   "1=1\r\n2=4\r\n3=2\r\n4=1\r\n5=3\r\n6=0.85\r\n7=2.5\r\n8=2\r\n"
                   "9=100\r\n10=20.5\r\n11=1.25\r\n12=0.5\r\n13=12\r\n14=2\r\n"
                   "17=1.5\r\n18=250\r\n19=7\r\n100=2\r\n"
                   "101=10\r\n102=1.5\r\n103=250\r\n104=0.75\r\n"));
    EXPECT_EQ(dialogs.fileDialogs.back().title, "Save Data File as");
    window.mnuClear_Click();
    EXPECT_NE(screen(), before);
    open(file("setup.dat"));
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(state.OutputType, 2);
    EXPECT_EQ(state.LinFreqItems[1].value, 250);
    EXPECT_FLOAT_EQ(state.LinFlowItems[1].value, 0.75f);
    EXPECT_EQ(window.statusText(), "Status:  Opened-->  setup.dat");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MrDataFileTest, OpenShowsThePasswordWithFourDigitsAndPassesOverUnknownCodes)
{
    const char *rows[][2]
        = { { "19=7", "0007" }, { "19=123", "0123" }, { "19=12345", "12345" }, { "19=0", "0000" } };
    for (const auto &r : rows) {
        writeFile(file("p.dat"), QByteArray("Parameter <Equals> Value\r\n15=900\r\n9=1\r\n") + r[0] + "\r\n");
        open(file("p.dat"));
        EXPECT_EQ(c.txtPassword->text(), r[1]) << r[0];
        EXPECT_EQ(c.txtPressureComp->text(), "1");
    }
    EXPECT_EQ(state.MinDacItem.value, 0); // converter values are not part of a file
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MrDataFileTest, ClearEmptiesEverythingButLowFlowCutoff)
{
    for (QComboBox *box : lists)
        box->setCurrentIndex(1);
    for (QLineEdit *field : fields)
        field->setText(QStringLiteral("3"));
    c.lblFlowLowE->show(); // both flow fields flagged
    c.lblFlowHiE->show();
    window.linearPointsWindow()->txtFreq(0)->setText(QStringLiteral("4"));

    window.mnuClear_Click();
    EXPECT_EQ(screen().join(' '), "-1 -1 -1 -1 -1 -1 -1      0.025      / / /");
    EXPECT_FLOAT_EQ(state.LowFlowCutoffItem.value, 0.025f);
    EXPECT_EQ(state.PasswordItem.value, 0);
    EXPECT_FLOAT_EQ(state.ScaleFactorItem.value, 0.0f);
    EXPECT_EQ(state.LinFreqItems[0].value, -1);
    EXPECT_FLOAT_EQ(state.LinFlowItems[9].value, -1.0f);
    EXPECT_TRUE(c.lblFlowLowE->isHidden());
    EXPECT_TRUE(c.lblFlowHiE->isHidden());
    EXPECT_EQ(window.statusText(), "Status:  All Data Cleared");
    save(file("cleared.dat")); // no point entries, and the number of points last
    EXPECT_TRUE(
        read(file("cleared.dat")).endsWith("12=0.025\r\n13=0\r\n14=-1\r\n17=0\r\n18=0\r\n19=0\r\n100=0\r\n"));
}
