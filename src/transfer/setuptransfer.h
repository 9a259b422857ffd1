#pragma once

#include <QObject>
#include <QPointer>

#include "app/appcontext.h"
#include "transfer/frmprogress.h"
#include "transfer/progresscounter.h"

class frmAltMain;

// Read Setup and Download Setup under the progress window.
class SetupTransfer final : public QObject
{
    Q_OBJECT

public:
    SetupTransfer(frmAltMain &window, AppContext &context);
    ~SetupTransfer() override;

    void btnRead_Click();
    void btnDownload_Click();
    void StepProgress(bool Start);
    void ReadOutputType();

    frmProgress *progressWindow() const { return m_progress; }

private:
    class Running;

    void readSequence();
    void downloadSequence();
    // Stores the body, sends it and returns when the exchange has ended.
    void send(const QString &body);
    void setPercent(const QString &text);
    void setFull();
    void endTransfer();
    bool spgVisible() const;
    double linearPtsNumber() const;

    frmAltMain &m_window;
    AppContext &m_context;
    QPointer<frmProgress> m_progress;
    ProgressCounter m_counter;
};
