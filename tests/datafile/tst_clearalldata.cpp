#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/frmaltmain.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "params/fieldchecks.h"
#include "support/fakeuserdialogs.h"

namespace {

struct ClearAllDataTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    frmAltMain main{context};
    AltMainControls &c = main.controls();

    QList<QComboBox *> lists() { return {c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits}; }
    QList<QLineEdit *> texts()
    {
        return {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg};
    }
    QList<QLabel *> markers()
    {
        return {c.lblRateUnitsE, c.lblRateIntervalE, c.lblKfactorUnitsE, c.lblKfactorE, c.lblDampingE,
                c.lblFlowLowE, c.lblFlowHiE, c.lblLinearPtsE, c.lblSpgE};
    }
    QList<QLabel *> captions()
    {
        return {c.lblRateUnits, c.lblRateInterval, c.lblKfactorUnits, c.lblKFactor, c.lblDamping,
                c.lblFlowLow, c.lblFlowHi, c.lblLinearPts, c.lblSpg};
    }

    // A full setup with every field flagged, as after a failed download.
    void fillAndFlag()
    {
        for (QComboBox *list : lists()) {
            if (list->count() == 0)
                list->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
            list->setCurrentIndex(2);
        }
        c.txtKfactor->setText(QStringLiteral("12.5"));
        c.txtDamping->setText(QStringLiteral("7"));
        c.txtFlowLow->setText(QStringLiteral("50"));
        c.txtFlowHi->setText(QStringLiteral("10"));
        c.txtLinearPts->setText(QStringLiteral("4"));
        state.SpgItem.value = 0.8f; // an empty field still has its handler run
        frmLinearPoints *points = main.linearPoints().window();
        for (int i = 0; i < frmLinearPoints::Rows; ++i) {
            points->txtFreq(i)->setText(QString::number(100 * (i + 1)));
            points->txtCoef(i)->setText(QString::number(i + 0.5));
        }
        for (int i = 0; i < captions().size(); ++i)
            FlagField(captions()[i], markers()[i]);
        main.setStatusText(QStringLiteral("Status:  Reading"));
    }
};

} // namespace

TEST_F(ClearAllDataTest, EveryFieldListAndPointEndsEmptyAndUnflagged)
{
    fillAndFlag();
    c.mnuClear->trigger();

    for (QComboBox *list : lists())
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    for (QLineEdit *text : texts())
        EXPECT_EQ(text->text(), "") << text->objectName().toStdString();
    frmLinearPoints *points = main.linearPoints().window();
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        EXPECT_EQ(points->txtFreq(i)->text(), "") << i;
        EXPECT_EQ(points->txtCoef(i)->text(), "") << i;
        EXPECT_EQ(state.LinFreqItems[i].value, -1) << i;
        EXPECT_EQ(state.LinFlowItems[i].value, -1.0f) << i;
    }
    EXPECT_FALSE(points->isVisible());
    EXPECT_EQ(main.statusText(), "Status:  All Data Cleared");
    EXPECT_TRUE(dialogs.messages.empty());

    // The change handlers stored the value of an empty text.
    EXPECT_EQ(state.KfactorItems[0].value, 0.0f);
    EXPECT_EQ(state.KfactorItems[1].value, 0.0f);
    EXPECT_EQ(state.DampingItem.value, 0);
    EXPECT_EQ(state.FlowLowItem.value, 0.0f);
    EXPECT_EQ(state.FlowHiItem.value, 0.0f);
    EXPECT_EQ(state.LinearPtsItem.value, 0);
    EXPECT_EQ(state.SpgItem.value, 0.0f);
    for (QLabel *marker : markers())
        EXPECT_TRUE(marker->isHidden()) << marker->objectName().toStdString();
    for (QLabel *caption : captions())
        EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(0, 0, 0))
            << caption->objectName().toStdString();
}

TEST_F(ClearAllDataTest, ControlsChangeInTheOrderThatRunsEveryHandler)
{
    for (QComboBox *list : lists())
        list->addItem(QStringLiteral("only"));
    QStringList seen;
    for (QComboBox *list : lists())
        QObject::connect(list, &QComboBox::currentIndexChanged, list,
                         [&seen, list](int index) { seen << list->objectName() + '=' + QString::number(index); });
    for (QLineEdit *text : texts())
        QObject::connect(text, &QLineEdit::textChanged, text,
                         [&seen, text](const QString &t) { seen << text->objectName() + '=' + t; });
    frmLinearPoints *points = main.linearPoints().window();
    points->txtFreq(9)->setText(QStringLiteral("5"));
    points->txtCoef(9)->setText(QStringLiteral("6"));
    // The tables take -1 right after each text is emptied, over what the change handler stored.
    QObject::connect(points->txtCoef(9), &QLineEdit::textChanged, points, [&] {
        seen << QStringLiteral("txtCoef9 sees frequency %1").arg(state.LinFreqItems[9].value);
    });

    c.mnuClear->trigger();
    const QStringList expected = {
        "cboRateUnits=0", "cboRateUnits=-1", "cboRateInterval=0", "cboRateInterval=-1",
        "cboKfactorUnits=0", "cboKfactorUnits=-1",
        "txtKfactor=0", "txtKfactor=", "txtDamping=0", "txtDamping=",
        "txtFlowHi=1", "txtFlowLow=0", "txtFlowLow=", "txtFlowHi=",
        "txtLinearPts=0", "txtLinearPts=", "txtSpg=0", "txtSpg=",
        "txtCoef9 sees frequency -1",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(state.LinFlowItems[9].value, -1.0f);
}

TEST_F(ClearAllDataTest, ListWithoutEntriesEndsUnselected)
{
    c.cboRateInterval->clear();
    c.cboKfactorUnits->clear();
    c.cboKfactorUnits->addItem(QStringLiteral("Gal"));
    c.cboKfactorUnits->setCurrentIndex(0);
    c.mnuClear->trigger();
    EXPECT_EQ(c.cboRateInterval->currentIndex(), -1);
    EXPECT_EQ(c.cboKfactorUnits->currentIndex(), -1);
    EXPECT_EQ(main.statusText(), "Status:  All Data Cleared");
}
