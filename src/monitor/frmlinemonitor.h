#pragma once

#include <QTimer>
#include <QWidget>

#include "link/appcontext.h"
#include "link/trafficecho.h"
#include "monitor/trafficstamps.h"

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
    static constexpr int MaxRows = 151;

    explicit frmLineMonitor(AppContext &context, QWidget *parent = nullptr);

    bool isShowing() const override { return isVisible(); }
    Mode mode() const override;
    void appendText(const QString &text) override;
    void UpdateCommTextboxRows() override;

    // The traffic text with its rows joined by CR LF, pending appends included.
    QString trafficText() const;

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
    void setClock(TrafficStamps::Clock clock) { m_stamps.setClock(std::move(clock)); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void clearTraffic();
    void flush();
    void deleteFirstRow();
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
    TrafficStamps m_stamps;

    // Appends collect here and reach the text box once per event loop turn, so a fast stream
    // costs one document edit per burst instead of one per character.
    QString m_pending;
    bool m_pendingCr = false; // the text so far ends with a CR whose LF may still follow
    QTimer m_flushTimer;
    bool m_sending = false;
    int m_displayTab = 0; // the display tab the Test tab returns to
};
