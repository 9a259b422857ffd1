// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QTimer>
#include <QWidget>

#include "linear/linearpointslogic.h"
#include "link/appcontext.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class LinearCurveView;

// The linearisation table editor: shows the rows of its logic and forwards the user's edits, leaves
// and clicks to it. Closing it only hides it, so its texts and markers survive.
class frmLinearPoints final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Rows = LinearPointsLogic::Rows;
    using Column = LinearPointsLogic::Column;

    explicit frmLinearPoints(AppContext &context, QWidget *parent = nullptr);

    LinearPointsLogic &logic() { return m_logic; }
    QLineEdit *txtFreq(int i) const { return m_txtFreq.at(i); }
    QLineEdit *txtCoef(int i) const { return m_txtCoef.at(i); }
    QLabel *lblPoints(int i) const { return m_lblPoints.at(i); }
    QLabel *lblErr(int i) const { return m_lblErr.at(i); }
    QLabel *lblFreq() const { return m_lblFreq; }
    QLabel *lblCoef() const { return m_lblCoef; }
    QPushButton *btnOK() const { return m_btnOK; }
    LinearCurveView *curve() const { return m_curve; }

    // Checks every active row, then hides the window (the close box; Read Setup before reading).
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void connectLogic();
    QLineEdit *box(Column column, int i) const
    {
        return column == Column::Freq ? m_txtFreq.at(i) : m_txtCoef.at(i);
    }
    void showRow(int i);
    void leave(Column column, int i);
    void showCurve();

    AppContext &m_context;
    LinearPointsLogic m_logic;
    QGroupBox *m_frame = nullptr;
    std::array<QLineEdit *, Rows> m_txtFreq {};
    std::array<QLineEdit *, Rows> m_txtCoef {};
    std::array<QLabel *, Rows> m_lblPoints {};
    std::array<QLabel *, Rows> m_lblErr {};
    QLabel *m_lblFreq = nullptr;
    QLabel *m_lblCoef = nullptr;
    QLabel *m_lblLow = nullptr;
    QLabel *m_lblHigh = nullptr;
    QPushButton *m_btnOK = nullptr;
    LinearCurveView *m_curve = nullptr;
    QTimer m_curveUpdate;
    bool m_checking = false; // a check is moving the focus; those moves are not the user leaving
    bool m_mirroring = false; // a text from the logic is being shown; it has run its handler already
};
