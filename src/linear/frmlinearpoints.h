#pragma once

#include <array>

#include <QWidget>

#include "link/appcontext.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The linearisation table editor: ten rows of frequency (or position) and flow, edited straight
// into the shared point tables. Closing it only hides it, so its texts and markers survive.
class frmLinearPoints final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Rows = 10;

    explicit frmLinearPoints(AppContext &context, QWidget *parent = nullptr);

    QLineEdit *txtFreq(int i) const { return m_txtFreq.at(i); }
    QLineEdit *txtCoef(int i) const { return m_txtCoef.at(i); }
    QLabel *lblPoints(int i) const { return m_lblPoints.at(i); }
    QLabel *lblErr(int i) const { return m_lblErr.at(i); }
    QLabel *lblFreq() const { return m_lblFreq; }
    QLabel *lblCoef() const { return m_lblCoef; }
    QPushButton *btnOK() const { return m_btnOK; }

    // Active rows are editable and numbered; inactive ones are greyed, unnumbered and unmarked.
    void setRowActive(int i, bool active);
    bool isRowActive(int i) const;

    // Marks a row whose point was never entered, or clears that mark.
    void setRowMarked(int i, bool marked);

    void txtFreq_Change(int i);
    void txtCoef_Change(int i);
    void txtFreq_LostFocus(int i);
    void txtCoef_LostFocus(int i);
    void btnOK_Click();
    // Checks every active row, then hides the window (the close box; Read Setup before reading).
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    bool isMr() const;
    void replaceLonePoint(QLineEdit *edit);
    void clearRowIfComplete(int i);

    AppContext &m_context;
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
    bool m_checking = false; // a check is moving the focus; those moves are not the user leaving
};
