#include "mrfields.h"

#include <cmath>

#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "link/userdialogs.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/values.h"
#include "mr/frmmr.h"
#include "mr/mrparameters.h"
#include "params/typinglimit.h"
#include "params/configreader.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/versioncheck.h"

namespace {

const QColor White(255, 255, 255);
const QColor LightGrey(192, 192, 192);

void setBase(QLineEdit *field, const QColor &colour)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

} // namespace

MrFields::MrFields(frmMR &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
    MrControls &c = m_window.controls();
    for (const MrParameter &p : MrParameters::table()) {
        if (p.kind == MrParameter::Kind::List) {
            QComboBox *box = c.*p.list;
            if (p.list == &MrControls::cboRateUnits)
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboRateUnits_Click);
            else if (p.list == &MrControls::cboMeterType)
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboMeterType_Click);
            else if (p.list == &MrControls::cboOutputMode)
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboOutputMode_Click);
            else
                connect(box, &QComboBox::currentIndexChanged, this, [this, &p] { listClicked(p); });
            continue;
        }
        QLineEdit *field = c.*p.text;
        FieldKeyFilter::install(field, p.filter());
        TypingLimit::install(field, p.typingLimit);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, [this, &p] { textChanged(p); });
    }

    // The design text of Low Flow Cutoff is its value too, so a setup sent or saved before any
    // edit carries what the window shows.
    textChanged(*std::find_if(MrParameters::table().begin(), MrParameters::table().end(),
                              [](const MrParameter &p) { return p.text == &MrControls::txtLowFlowCutoff; }));
}

void MrFields::loadConfiguration(const QString &folder)
{
    m_configPath = QDir(folder).filePath(QStringLiteral("Config.inf"));
    const ConfigReadResult result = ConfigReader::readFile(m_configPath, ConfigReader::Family::MR, m_context.state);

    // Lists filled before a read error stay. Nothing is selected at start, so filling must not select.
    MrControls &c = m_window.controls();
    for (const MrParameter &p : MrParameters::table()) {
        if (p.kind != MrParameter::Kind::List || !result.lists.contains(p.code))
            continue;
        QComboBox *box = c.*p.list;
        const QSignalBlocker blocker(box);
        const int selected = box->currentIndex();
        box->addItems(result.lists.value(p.code));
        box->setCurrentIndex(selected);
    }

    UserDialogs &dialogs = m_context.dialogs;
    if (result.readError)
        dialogs.message(ConfigReader::readErrorText(), UserDialogs::Icon::Critical);
    else if (result.syntaxError)
        dialogs.message(ConfigReader::syntaxErrorText(), UserDialogs::Icon::Critical, ConfigReader::syntaxErrorTitle());
}

void MrFields::EnableField(QLineEdit *field, QLabel *caption, bool enabled)
{
    field->setEnabled(enabled);
    setBase(field, enabled ? White : LightGrey);
    caption->setEnabled(enabled);
}

bool MrFields::isActive(const MrParameter &parameter) const
{
    return !parameter.switchable || (m_window.controls().*parameter.text)->isEnabled();
}

void MrFields::listClicked(const MrParameter &parameter)
{
    MrControls &c = m_window.controls();
    (m_context.state.*parameter.intRecord).value = qint16((c.*parameter.list)->currentIndex());
    UnflagField(c.*parameter.caption, c.*parameter.marker);
}

void MrFields::cboRateUnits_Click()
{
    MrControls &c = m_window.controls();
    m_context.state.RateUnitsItem.value = qint16(c.cboRateUnits->currentIndex());
    UnflagField(c.lblRateUnits, c.lblRateUnitsE);
    const QString unit = c.cboRateUnits->currentText();
    EnableField(c.txtSpg, c.lblSpg, unit == QLatin1String("Kgs") || unit == QLatin1String("Lbs"));
}

void MrFields::cboMeterType_Click()
{
    MrControls &c = m_window.controls();
    m_context.state.MeterTypeItem.value = qint16(c.cboMeterType->currentIndex());
    UnflagField(c.lblMeterType, c.lblMeterTypeE);
    const QString type = c.cboMeterType->currentText();
    const bool liquid = type == QLatin1String("Oil") || type == QLatin1String("Water");
    EnableField(c.txtPressureComp, c.lblPressureComp, !liquid);
    EnableField(c.txtTempComp, c.lblTempComp, !liquid);
}

void MrFields::cboOutputMode_Click()
{
    MrControls &c = m_window.controls();
    const int index = c.cboOutputMode->currentIndex();
    switch (index) {
    case 0:
        c.lblFlowLow->setText(QStringLiteral("Flow at 4mA"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 20mA"));
        break;
    case 1:
        c.lblFlowLow->setText(QStringLiteral("Flow at 0V"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 5V"));
        break;
    case 2:
        c.lblFlowLow->setText(QStringLiteral("Flow at 0V"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 10V"));
        break;
    default:
        break;
    }
    m_context.state.OutputModeItem.value = qint16(index);
    m_context.state.OutputType = qint16(index);
    UnflagField(c.lblOutputMode, c.lblOutputModeE);
}

void MrFields::textChanged(const MrParameter &parameter)
{
    MrControls &c = m_window.controls();
    const QString text = (c.*parameter.text)->text();
    if (parameter.kind == MrParameter::Kind::Int)
        Values::StoreInt(text, (m_context.state.*parameter.intRecord).value);
    else
        Values::StoreSingle(text, (m_context.state.*parameter.realRecord).value);
    if (parameter.text == &MrControls::txtFlowLow || parameter.text == &MrControls::txtFlowHi)
        flowPairChanged();
    else
        UnflagField(c.*parameter.caption, c.*parameter.marker);
}

// The flow fields are cleared as a pair, and only while the high end exceeds the low end.
void MrFields::flowPairChanged()
{
    MrControls &c = m_window.controls();
    if (Values::Val(c.txtFlowHi->text()) > Values::Val(c.txtFlowLow->text())) {
        UnflagField(c.lblFlowLow, c.lblFlowLowE);
        UnflagField(c.lblFlowHi, c.lblFlowHiE);
    }
}

void MrFields::leaveField(const MrParameter &parameter)
{
    MrControls &c = m_window.controls();
    QLabel *marker = c.*parameter.marker;
    if (IsFieldFlagged(marker))
        return;
    QLineEdit *field = c.*parameter.text;
    if (parameter.kind == MrParameter::Kind::Int)
        CheckIntField(field, m_context.state.*parameter.intRecord, c.*parameter.caption, marker, m_context.dialogs);
    else
        CheckRealField(field, m_context.state.*parameter.realRecord, c.*parameter.caption, marker, m_context.dialogs);
}

bool MrFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    // Focus taken by another window (a message box, a dialog) or a popup is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_leaving)
        return false;
    MrControls &c = m_window.controls();
    const auto &table = MrParameters::table();
    const auto it = std::find_if(table.begin(), table.end(), [&](const MrParameter &p) {
        return p.kind != MrParameter::Kind::List && c.*p.text == watched;
    });
    if (it == table.end())
        return false;

    // The field finishes its own focus-out first, so the check's focus and selection are not undone after it.
    const QScopedValueRollback<bool> guard(m_leaving, true);
    static_cast<QObject *>(watched)->event(event);
    leaveField(*it);
    return true;
}

bool MrFields::CheckMissingFields()
{
    MrControls &c = m_window.controls();
    DeviceState &s = m_context.state;
    bool result = true;
    for (const MrParameter &p : MrParameters::table()) {
        QLabel *caption = c.*p.caption;
        QLabel *marker = c.*p.marker;
        if (p.kind == MrParameter::Kind::List) {
            if ((c.*p.list)->currentIndex() == -1) {
                FlagField(caption, marker);
                result = false;
            }
            continue;
        }
        if (!isActive(p) || !(c.*p.text)->text().isEmpty())
            continue;
        FlagField(caption, marker);
        result = false;
        if (p.text == &MrControls::txtLinearPts)
            return false;
    }

    const double points = Values::Val(c.txtLinearPts->text());
    if (points < s.LinearPtsItem.minimum || points > s.LinearPtsItem.maximum) {
        FlagField(c.lblLinearPts, c.lblLinearPtsE);
        return false;
    }

    if (!m_window.linearPoints().markMissingPoints(points))
        result = false;
    return result;
}

void MrFields::CheckDeviceVersion()
{
    VersionCheck::CheckDeviceVersion(m_context);
}
