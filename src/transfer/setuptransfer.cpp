#include "setuptransfer.h"

#include <exception>
#include <stdexcept>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "link/userdialogs.h"
#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/values.h"
#include "params/altmaincontrols.h"
#include "transfer/frmprogress.h"
#include "transfer/itemcommands.h"

using Icon = UserDialogs::Icon;

namespace {

// The fixed part of both sequences, in the order the device is read and written. The MR family
// has its own tables; the loop code does not care which rows it walks.
struct ListStep
{
    IntItem DeviceState::*record;
    qint16 DeviceState::*position; // the list index kept beside the record
    QComboBox *AltMainControls::*list;
};

struct TextStep
{
    IntItem DeviceState::*intRecord;   // one of the two is set
    RealItem DeviceState::*realRecord;
    QLineEdit *AltMainControls::*field;
};

const ListStep listSteps[] = {
    {&DeviceState::RateUnitsItem, &DeviceState::RateUnits, &AltMainControls::cboRateUnits},
    {&DeviceState::RateIntervalItem, &DeviceState::RateInterval, &AltMainControls::cboRateInterval},
    {&DeviceState::KfactorUnitsItem, &DeviceState::KfactorUnits, &AltMainControls::cboKfactorUnits},
};

// Damping to the number of linear points, after the K factor.
const TextStep textSteps[] = {
    {&DeviceState::DampingItem, nullptr, &AltMainControls::txtDamping},
    {nullptr, &DeviceState::FlowLowItem, &AltMainControls::txtFlowLow},
    {nullptr, &DeviceState::FlowHiItem, &AltMainControls::txtFlowHi},
    {&DeviceState::LinearPtsItem, nullptr, &AltMainControls::txtLinearPts},
};

// The K factor record for a units position; only positions 0 and 1 have one.
const RealItem *kfactorRecord(const DeviceState &s, int position)
{
    if (position < 0 || position >= int(s.KfactorItems.size()))
        return nullptr;
    return &s.KfactorItems[size_t(position)];
}

bool spgVisible(const AltMainControls &c)
{
    // The field's own visibility, whether or not the main window is on screen yet.
    return !c.txtSpg->isHidden();
}

} // namespace

// The Dravion items before the points: the three lists, the K factor, Damping to the number of
// points, and the Specific Gravity while it is shown.
void SetupTransfer::dravionReadItems(SetupTransfer &t, AltMainControls &c)
{
    DeviceState &s = t.m_context.state;
    for (const ListStep &step : listSteps) {
        t.send(ItemCommands::read(s.*step.record));
        t.stepProgress();
        if (!t.answered())
            continue;
        SetupTransfer::tolerant([&] {
            QComboBox *list = c.*step.list;
            const qint16 position = Values::CInt(Values::Val(s.ReplyValue));
            // -1 clears the selection; a position the list does not have is refused.
            if (position < -1 || position >= list->count())
                throw std::out_of_range("list position");
            list->setCurrentIndex(position);
        });
    }

    // Only the two units positions with a K factor record of their own read a K factor;
    // any other position (or none) leaves the field as it is.
    if (const RealItem *kfactor = kfactorRecord(s, c.cboKfactorUnits->currentIndex())) {
        t.send(ItemCommands::read(*kfactor));
        t.stepProgress();
        SetupTransfer::tolerant([&] { c.txtKfactor->setText(s.ReplyValue); });
    } else {
        t.stepProgress();
    }

    for (const TextStep &step : textSteps) {
        t.send(step.intRecord ? ItemCommands::read(s.*step.intRecord) : ItemCommands::read(s.*step.realRecord));
        t.stepProgress();
        SetupTransfer::tolerant([&] { (c.*step.field)->setText(s.ReplyValue); });
    }

    if (spgVisible(c)) {
        t.send(ItemCommands::read(s.SpgItem));
        t.stepProgress();
        SetupTransfer::tolerant([&] { c.txtSpg->setText(s.ReplyValue); });
    }
}

void SetupTransfer::dravionDownloadItems(SetupTransfer &t, AltMainControls &c)
{
    DeviceState &s = t.m_context.state;

    for (const ListStep &step : listSteps) {
        t.send(ItemCommands::write(s.*step.record, s.*step.position));
        t.StepProgress(false);
    }

    if (const RealItem *kfactor = kfactorRecord(s, c.cboKfactorUnits->currentIndex()))
        t.send(ItemCommands::write(*kfactor));
    t.StepProgress(false);

    for (const TextStep &step : textSteps) {
        t.send(step.intRecord ? ItemCommands::write(s.*step.intRecord) : ItemCommands::write(s.*step.realRecord));
        // After the number of points the bar may already be full: nothing else follows.
        if (step.intRecord != &DeviceState::LinearPtsItem)
            t.StepProgress(false);
        else if (spgVisible(c) || t.linearPtsNumber() > 0)
            t.StepProgress(false);
        else
            t.setFull();
    }

    if (spgVisible(c)) {
        t.send(ItemCommands::write(s.SpgItem));
        if (t.linearPtsNumber() > 0)
            t.StepProgress(false);
        else
            t.setFull();
    }
}

// For the duration of a transfer: both transfer buttons off, and every command that talks to
// the device or changes the setup off too, so nothing can interleave with the sequence.
class SetupTransfer::Running final
{
public:
    explicit Running(SetupTransfer &owner)
        : m_state(owner.m_context.state)
    {
        for (QPushButton *b : owner.m_host.buttons) {
            if (b)
                b->setEnabled(false);
            m_buttons.push_back(b);
        }
        for (QAction *a : owner.m_host.commands) {
            if (a && a->isEnabled()) {
                a->setEnabled(false);
                m_disabled.push_back(a);
            }
        }
        m_state.TransferRunning = true;
    }

    ~Running()
    {
        m_state.TransferRunning = false;
        for (QAction *a : m_disabled) {
            if (a)
                a->setEnabled(true);
        }
        for (QPushButton *b : m_buttons) {
            if (b)
                b->setEnabled(true);
        }
    }

private:
    DeviceState &m_state;
    std::vector<QPointer<QPushButton>> m_buttons;
    std::vector<QPointer<QAction>> m_disabled;
};

SetupTransfer::SetupTransfer(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
    , m_progress(new frmProgress(context.state, m_host.mainWindow))
{
}

SetupTransfer::~SetupTransfer() = default;

void SetupTransfer::send(const QString &body)
{
    m_context.state.CommandString = body;
    if (m_context.link)
        m_context.link->SendCommand();
    else
        m_context.state.CommAbort = true; // no device to talk to: the sequence fails cleanly
}

void SetupTransfer::setFull()
{
    // A failed transfer keeps the bar where the failure happened; its end shows "0%".
    if (!m_context.state.CommAbort)
        setPercent(QStringLiteral("100%"));
}

void SetupTransfer::setPercent(const QString &text)
{
    if (m_progress)
        m_progress->setPercent(text);
}

double SetupTransfer::linearPtsNumber() const
{
    return Values::Val(m_host.txtLinearPts->text());
}

bool SetupTransfer::answered() const
{
    const QString &reply = m_context.state.ReplyValue;
    return reply != QLatin1String("NoRsp") && reply != QLatin1String("Inval");
}

void SetupTransfer::stepProgress()
{
    tolerant([this] { StepProgress(false); });
}

void SetupTransfer::tolerant(const std::function<void()> &statement)
{
    try {
        statement();
    } catch (const std::exception &) {
    }
}

void SetupTransfer::StepProgress(bool Start)
{
    if (Start) {
        m_counter.start(linearPtsNumber(), m_host.fixedExchanges);
        return;
    }
    if (m_context.state.CommAbort)
        return; // the bar stops where the failure happened
    setPercent(ProgressCounter::percentText(m_counter.step()));
}

void SetupTransfer::endTransfer()
{
    m_context.state.CommAbort = false;
    if (m_progress)
        m_progress->finish();
}

void SetupTransfer::btnRead_Click()
{
    DeviceState &s = m_context.state;
    Running running(*this);
    s.CommAbort = false;
    if (QWidget *points = m_host.linearPointsWindow(); points && points->isVisible())
        points->close(); // its close handler checks the rows before hiding
    m_host.mnuClear_Click();
    m_host.setStatusText(QStringLiteral("Status:  Reading"));
    setPercent(QStringLiteral("0%"));
    if (m_progress)
        m_progress->showFor(QStringLiteral("Reading Setup Parameters..."));

    tolerant([&] { m_host.CheckDeviceVersion(); });
    tolerant([&] { ReadOutputType(); });
    tolerant([&] { m_host.txtLinearPts->setText(QStringLiteral("10")); });
    tolerant([&] { StepProgress(true); });
    readSequence();

    if (s.CommAbort) {
        m_host.mnuClear_Click();
        m_host.setStatusText(QStringLiteral("Status:  Unable to perform Read"));
        m_context.dialogs.message(QStringLiteral("Unable to perform Read!"), Icon::Critical);
    } else {
        setPercent(QStringLiteral("100%"));
        m_host.setStatusText(QStringLiteral("Status:  Read Successful"));
        m_context.dialogs.message(QStringLiteral("Read Successful"));
    }
    endTransfer();
}

void SetupTransfer::readSequence()
{
    DeviceState &s = m_context.state;
    m_host.readItems(*this);

    // All ten pairs, whatever number of points the device reported.
    for (size_t i = 0; i < 10; ++i) {
        send(ItemCommands::read(s.LinFreqItems[i]));
        stepProgress();
        tolerant([&] { s.LinFreqItems[i].value = Values::CInt(Values::Val(s.ReplyValue)); });
        send(ItemCommands::read(s.LinFlowItems[i]));
        stepProgress();
        tolerant([&] { s.LinFlowItems[i].value = Values::CSng(Values::Val(s.ReplyValue)); });
    }
}

void SetupTransfer::ReadOutputType()
{
    DeviceState &s = m_context.state;
    send(QStringLiteral("I"));
    if (s.CommAbort)
        return;
    const qint16 r = Values::CInt(Values::Val(s.ReplyValue));
    if (m_host.outputTypeReply)
        m_host.outputTypeReply(r);
}

void SetupTransfer::btnDownload_Click()
{
    DeviceState &s = m_context.state;
    Running running(*this);
    try {
        s.CommAbort = false;
        if (!m_host.CheckMissingFields()) {
            m_context.dialogs.message(QStringLiteral("Plese enter missing information"), Icon::Exclamation);
            return;
        }
        m_host.setStatusText(QStringLiteral("Status:  Programming"));
        setPercent(QStringLiteral("0%"));
        if (m_progress)
            m_progress->showFor(QStringLiteral("Downloading Setup Parameters..."));
        StepProgress(true);
        m_host.CheckDeviceVersion();
        downloadSequence();
        send(QStringLiteral("W"));
        m_host.setStatusText(QStringLiteral("Status:  Complete"));
        if (s.CommAbort) {
            setPercent(QStringLiteral("0%"));
            m_context.dialogs.message(QStringLiteral("Unable to complete Download!"), Icon::Critical);
        } else {
            m_context.dialogs.message(QStringLiteral("Programming Successful"));
        }
        endTransfer();
    } catch (const std::exception &) {
        // Nothing more is sent; the window is tidied up as after a normal end.
        m_context.dialogs.message(QStringLiteral("Download Error"), Icon::Critical);
        endTransfer();
    }
}

void SetupTransfer::downloadSequence()
{
    DeviceState &s = m_context.state;
    m_host.downloadItems(*this);

    // The bound is taken once; the test for the last pair reads the field again each time.
    const qint16 last = Values::CInt(linearPtsNumber() - 1);
    for (int i = 0; i <= last; ++i) {
        send(ItemCommands::write(s.LinFreqItems.at(size_t(i))));
        StepProgress(false);
        send(ItemCommands::write(s.LinFlowItems.at(size_t(i))));
        if (i == linearPtsNumber() - 1)
            setFull();
        else
            StepProgress(false);
    }
}
