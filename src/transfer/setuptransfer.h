#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"
#include "transfer/frmprogress.h"
#include "transfer/progresscounter.h"

class QAction;
class QLineEdit;
class QPushButton;
struct AltMainControls;

// Read Setup and Download Setup under the progress window.
class SetupTransfer final : public QObject
{
    Q_OBJECT

public:
    // What a transfer needs of its main window and device family; each family's window gives its own.
    struct Host
    {
        QWidget *mainWindow = nullptr;      // owner of the progress window
        std::vector<QPushButton *> buttons; // Read Setup and Download Setup
        std::vector<QAction *> commands;    // unavailable while a transfer runs
        QLineEdit *txtLinearPts = nullptr;
        int fixedExchanges = 9;             // progress steps besides the two per point
        std::function<QWidget *()> linearPointsWindow;
        std::function<void()> mnuClear_Click;
        std::function<void(const QString &)> setStatusText;
        std::function<void()> CheckDeviceVersion;
        std::function<bool()> CheckMissingFields;
        std::function<void(qint16)> outputTypeReply;       // what the answer to "I" selects
        std::function<void(SetupTransfer &)> readItems;     // the family's items before the points
        std::function<void(SetupTransfer &)> downloadItems;
    };

    SetupTransfer(Host host, AppContext &context, QObject *parent);
    ~SetupTransfer() override;

    void btnRead_Click();
    void btnDownload_Click();
    void StepProgress(bool Start);
    void ReadOutputType();

    frmProgress *progressWindow() const { return m_progress; }

    // The steps a family's items are made of.
    // Stores the body, sends it and returns when the exchange has ended.
    void send(const QString &body);
    // One step of the read's progress, where a failure skips only the step.
    void stepProgress();
    void setPercent(const QString &text);
    void setFull();
    // The last exchange brought an answer: neither no reply nor an invalid one.
    bool answered() const;
    double linearPtsNumber() const;
    // Runs one statement of the read sequence; a failure skips only that statement.
    static void tolerant(const std::function<void()> &statement);

    // The Dravion family's items before the points, read into and written from its controls.
    static void dravionReadItems(SetupTransfer &t, AltMainControls &c);
    static void dravionDownloadItems(SetupTransfer &t, AltMainControls &c);

private:
    class Running;

    void readSequence();
    void downloadSequence();
    void endTransfer();

    Host m_host;
    AppContext &m_context;
    QPointer<frmProgress> m_progress;
    ProgressCounter m_counter;
};
