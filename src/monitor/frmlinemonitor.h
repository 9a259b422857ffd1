// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

#include "link/appcontext.h"
#include "link/trafficecho.h"
#include "monitor/traffictext.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

// The serial line monitor: shows the traffic in ASCII or hex and sends hand-typed test strings.
// Closing only hides it, so the traffic text survives.
class frmLineMonitor final : public QWidget, public TrafficEcho
{
    Q_OBJECT

public:
    static constexpr int MaxRows = TrafficText::MaxRows;

    explicit frmLineMonitor(AppContext &context, QWidget *parent = nullptr);

    bool isShowing() const override { return isVisible(); }
    Mode mode() const override { return m_traffic.mode(); }
    void appendText(const QString &text) override { m_traffic.appendText(text); }
    void UpdateCommTextboxRows() override { m_traffic.UpdateCommTextboxRows(); }

    TrafficText &traffic() { return m_traffic; }
    // The traffic text with its rows joined by CR LF, pending appends included.
    QString trafficText() const { return m_traffic.text(); }

    void TabStrip1_Click();
    void btnCloseTest_Click();
    void ckbAutoSTX_Click();
    void ckbAutoCR_Click();
    void Combo1_Click(int index);
    void btnSend_Click();
    void Form_Resize();

    // Additions beside the described controls: time stamps on the rows and saving the traffic.
    void ckbTimeStamps_Click();
    void btnSaveTraffic_Click();
    void setClock(TrafficStamps::Clock clock) { m_traffic.setClock(std::move(clock)); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void onAppended(const QString &rows);
    void onRemovedFromStart(qsizetype characters);
    void onCleared();
    void flush();
    void setCommHeight(int twips);
    int windowHeight() const;
    void keepAtEnd();
    void placeTrafficControls();

    AppContext m_context;

    QTabBar *m_tabs = nullptr;
    QPlainTextEdit *m_comm = nullptr;
    QGroupBox *m_frame = nullptr;
    QPushButton *m_closeTest = nullptr;
    QComboBox *m_picker = nullptr;
    QCheckBox *m_autoStx = nullptr;
    QCheckBox *m_autoCr = nullptr;
    QLabel *m_stxLabel = nullptr;
    QLabel *m_crLabel = nullptr;
    QLineEdit *m_output = nullptr;
    QPushButton *m_send = nullptr;
    QCheckBox *m_timeStamps = nullptr;
    QPushButton *m_saveTraffic = nullptr;
    TrafficText m_traffic;

    // Appends collect here and reach the text box once per event loop turn, so a fast stream
    // costs one document edit per burst instead of one per character.
    QString m_pending;
    QTimer m_flushTimer;
    bool m_sending = false;
    int m_displayTab = 0; // the display tab the Test tab returns to
};
