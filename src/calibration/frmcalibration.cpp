// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmcalibration.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "digitlineedit.h"
#include "link/linkengine.h"
#include "updowncontrol.h"

namespace {

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmCalibration::frmCalibration(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_logic(context.state, context.dialogs, [link = context.link] {
        if (link)
            link->SendCommand();
    })
{
    setObjectName(QStringLiteral("frmCalibration"));
    setWindowTitle(QStringLiteral("Calibration"));
    setModal(true);
    buildControls();
    connectLogic();
}

frmCalibration::~frmCalibration()
{
    // The base class hides without reaching our override, so the store would be skipped.
    if (isVisible())
        setVisible(false);
}

void frmCalibration::buildControls()
{
    const CalibrationLogic::OutputLevels designed = CalibrationLogic::designedLevels();

    m_fraDac = named(new QGroupBox(QStringLiteral("Calibration - DAC Values"), this), "fraDAC");
    auto *dacGrid = new QGridLayout(m_fraDac);
    auto addDacRow
        = [this, dacGrid](int row, const QString &caption, const char *labelName, const char *textName,
              const char *upDownName, QLabel *&label, DigitLineEdit *&text, UpDownControl *&upDown) {
              label = named(new QLabel(caption, m_fraDac), labelName);
              text = named(new DigitLineEdit(m_fraDac), textName);
              text->setMaxLength(6);
              text->setFixedWidth(text->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8 + 12);
              upDown = named(new UpDownControl(m_fraDac), upDownName);
              upDown->setFixedHeight(text->sizeHint().height());
              upDown->setRange(0, 0x7fff);
              auto *pair = new QHBoxLayout;
              pair->setSpacing(0);
              pair->addWidget(text);
              pair->addWidget(upDown);
              label->setBuddy(text);
              upDown->setAccessibleName(caption); // its caption's buddy is the text box beside it
              dacGrid->addWidget(label, row, 0);
              dacGrid->addLayout(pair, row, 1);
          };
    addDacRow(0, designed.lowCaption, "lblLowDAC", "txtLowDAC", "UpDownLowDAC", m_lblLowDAC, m_txtLowDAC,
        m_UpDownLowDAC);
    addDacRow(1, designed.highCaption, "lblHiDAC", "txtHiDAC", "UpDownHiDAC", m_lblHiDAC, m_txtHiDAC,
        m_UpDownHiDAC);
    dacGrid->setColumnStretch(2, 1);

    m_fraTest = named(new QGroupBox(QStringLiteral("Test - Output"), this), "fraTest");
    auto *testGrid = new QGridLayout(m_fraTest);
    m_lblOutput = named(new QLabel(designed.outputCaption, m_fraTest), "lblOutput");
    m_lblSetOutput = named(new QLabel(QStringLiteral("Set Output to:"), m_fraTest), "lblSetOutput");
    m_lblTest = named(new QLabel(m_fraTest), "lblTest");
    m_lblTest->setMinimumWidth(m_lblTest->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8);
    m_lblTest->setFrameShape(QFrame::Panel);
    m_lblTest->setFrameShadow(QFrame::Sunken);
    m_lblTest->setAlignment(Qt::AlignCenter);
    m_UpDownTest = named(new UpDownControl(m_fraTest), "UpDownTest");
    m_UpDownTest->setRange(designed.minimum, designed.maximum);
    m_UpDownTest->setValue(designed.start);
    m_UpDownTest->setFixedHeight(m_lblTest->sizeHint().height() + 8);
    m_lblSetOutput->setBuddy(m_UpDownTest);
    m_lblTest->setText(QString::number(m_UpDownTest->value()));
    m_btnMin = named(new QPushButton(QStringLiteral("Output Min"), m_fraTest), "btnMin");
    m_btnMax = named(new QPushButton(QStringLiteral("Output Max"), m_fraTest), "btnMax");
    // Return in a DAC box must not press a button and move the output.
    m_btnMin->setAutoDefault(false);
    m_btnMax->setAutoDefault(false);
    testGrid->addWidget(m_lblOutput, 0, 0, 1, 4);
    testGrid->addWidget(m_lblSetOutput, 1, 0);
    testGrid->addWidget(m_lblTest, 1, 1);
    testGrid->addWidget(m_UpDownTest, 1, 2);
    testGrid->setColumnStretch(3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnMin);
    buttons->addWidget(m_btnMax);
    testGrid->addLayout(buttons, 2, 0, 1, 4);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_fraDac);
    layout->addWidget(m_fraTest);
    setFixedSize(sizeHint());
}

void frmCalibration::connectLogic()
{
    using End = CalibrationLogic::End;
    CalibrationLogic *logic = &m_logic;
    for (const End end : { End::Low, End::High }) {
        connect(dacText(end), &QLineEdit::textChanged, logic,
            [logic, end](const QString &text) { logic->txtDAC_Change(end, text); });
        connect(dacUpDown(end), &UpDownControl::valueChanged, logic,
            [logic, end](int value) { logic->UpDownDAC_Change(end, value); });
    }
    connect(m_UpDownTest, &UpDownControl::valueChanged, logic,
        [this](int level) { m_logic.UpDownTest_Change(level, isVisible()); });
    connect(m_btnMin, &QPushButton::clicked, logic, &CalibrationLogic::btnMin_Click);
    connect(m_btnMax, &QPushButton::clicked, logic, &CalibrationLogic::btnMax_Click);

    connect(logic, &CalibrationLogic::dacRangeSet, this,
        [this](End end, int minimum, int maximum) { dacUpDown(end)->setRange(minimum, maximum); });
    connect(logic, &CalibrationLogic::dacTextSet, this,
        [this](End end, const QString &text) { dacText(end)->setText(text); });
    connect(logic, &CalibrationLogic::dacUpDownSet, this,
        [this](End end, int value) { dacUpDown(end)->setValue(value); });
    connect(logic, &CalibrationLogic::outputLevelsSet, this, [this](const CalibrationLogic::OutputLevels &l) {
        m_lblLowDAC->setText(l.lowCaption);
        m_lblHiDAC->setText(l.highCaption);
        m_UpDownLowDAC->setAccessibleName(l.lowCaption);
        m_UpDownHiDAC->setAccessibleName(l.highCaption);
        m_lblOutput->setText(l.outputCaption);
        m_UpDownTest->setRange(l.minimum, l.maximum);
        m_UpDownTest->setValue(l.start);
    });
    connect(logic, &CalibrationLogic::testLevelSet, m_UpDownTest, &UpDownControl::setValue);
    connect(logic, &CalibrationLogic::testLevelShown, m_lblTest, &QLabel::setText);
}

DigitLineEdit *frmCalibration::dacText(CalibrationLogic::End end) const
{
    return end == CalibrationLogic::End::Low ? m_txtLowDAC : m_txtHiDAC;
}

UpDownControl *frmCalibration::dacUpDown(CalibrationLogic::End end) const
{
    return end == CalibrationLogic::End::Low ? m_UpDownLowDAC : m_UpDownHiDAC;
}

void frmCalibration::Form_Load()
{
    m_loaded = true;
    m_logic.Form_Load();
    // The level label follows the up-down, which loading may have moved without sending.
    m_lblTest->setText(QString::number(m_UpDownTest->value()));
}

void frmCalibration::setVisible(bool visible)
{
    if (visible == isVisible()) {
        QDialog::setVisible(visible);
        return;
    }
    if (visible) {
        if (!m_loaded)
            Form_Load();
        QDialog::setVisible(true);
        return;
    }
    // Every way of closing (close box, Escape, reject, hide) passes here; the store runs once.
    if (m_unloading)
        return;
    m_unloading = true;
    m_logic.Form_Unload();
    m_unloading = false;
    m_loaded = false;
    QDialog::setVisible(false);
}
