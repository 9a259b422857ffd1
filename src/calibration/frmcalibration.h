// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "calibrationlogic.h"
#include "link/appcontext.h"

class DigitLineEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class UpDownControl;

// Trims the converter values of both ends of the analog output live and drives test levels.
class frmCalibration final : public QDialog
{
    Q_OBJECT

public:
    explicit frmCalibration(AppContext &context, QWidget *parent = nullptr);
    ~frmCalibration() override;

    CalibrationLogic &logic() { return m_logic; }
    bool loaded() const { return m_loaded; }

    // Reads both ends before the window appears; showing the window runs it when not yet done.
    void Form_Load();
    void setVisible(bool visible) override;

private:
    void buildControls();
    void connectLogic();
    DigitLineEdit *dacText(CalibrationLogic::End end) const;
    UpDownControl *dacUpDown(CalibrationLogic::End end) const;

    AppContext &m_context;
    CalibrationLogic m_logic;
    bool m_loaded = false;
    bool m_unloading = false;

    QGroupBox *m_fraDac = nullptr;
    QGroupBox *m_fraTest = nullptr;
    DigitLineEdit *m_txtLowDAC = nullptr;
    DigitLineEdit *m_txtHiDAC = nullptr;
    UpDownControl *m_UpDownLowDAC = nullptr;
    UpDownControl *m_UpDownHiDAC = nullptr;
    QLabel *m_lblLowDAC = nullptr;
    QLabel *m_lblHiDAC = nullptr;
    QLabel *m_lblOutput = nullptr;
    UpDownControl *m_UpDownTest = nullptr;
    QLabel *m_lblSetOutput = nullptr;
    QLabel *m_lblTest = nullptr;
    QPushButton *m_btnMin = nullptr;
    QPushButton *m_btnMax = nullptr;
};
