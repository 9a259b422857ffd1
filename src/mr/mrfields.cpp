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
#include "params/parameterset.h"
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
    for (const Parameter &p : ParameterSet::mr().rows()) {
        const QString name = p.controlName();
        if (p.kind == Parameter::Kind::List) {
            QComboBox *box = list(p);
            if (name == QLatin1String("cboRateUnits"))
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboRateUnits_Click);
            else if (name == QLatin1String("cboMeterType"))
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboMeterType_Click);
            else if (name == QLatin1String("cboOutputMode"))
                connect(box, &QComboBox::currentIndexChanged, this, &MrFields::cboOutputMode_Click);
            else
                connect(box, &QComboBox::currentIndexChanged, this, [this, &p] { listClicked(p); });
            continue;
        }
        QLineEdit *text = field(p);
        FieldKeyFilter::install(text, p.filter());
        TypingLimit::install(text, p.typingLimit);
        text->installEventFilter(this);
        connect(text, &QLineEdit::textChanged, this, [this, &p] { textChanged(p); });
    }

    // The design text of Low Flow Cutoff is its value too, so a setup sent or saved before any
    // edit carries what the window shows.
    textChanged(*ParameterSet::mr().find(QStringLiteral("txtLowFlowCutoff")));
}

QComboBox *MrFields::list(const Parameter &parameter) const
{
    return m_window.findChild<QComboBox *>(parameter.controlName());
}

QLineEdit *MrFields::field(const Parameter &parameter) const
{
    return m_window.findChild<QLineEdit *>(parameter.controlName());
}

QLabel *MrFields::label(const char *name) const
{
    return m_window.findChild<QLabel *>(QString::fromLatin1(name));
}

void MrFields::loadConfiguration(const QString &folder)
{
    m_configPath = QDir(folder).filePath(QStringLiteral("Config.inf"));
    const ConfigReadResult result = ConfigReader::readFile(m_configPath, ConfigReader::Family::MR, m_context.state);

    // Lists filled before a read error stay. Nothing is selected at start, so filling must not select.
    for (const Parameter &p : ParameterSet::mr().rows()) {
        if (p.kind != Parameter::Kind::List || !result.lists.contains(p.code))
            continue;
        QComboBox *box = list(p);
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

bool MrFields::isActive(const Parameter &parameter) const
{
    return !parameter.switchable() || field(parameter)->isEnabled();
}

void MrFields::listClicked(const Parameter &parameter)
{
    (m_context.state.*parameter.intRecord).value = qint16(list(parameter)->currentIndex());
    UnflagField(label(parameter.caption), label(parameter.marker));
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

void MrFields::textChanged(const Parameter &parameter)
{
    const QString text = field(parameter)->text();
    const bool stored = parameter.intRecord ? Values::StoreInt(text, (m_context.state.*parameter.intRecord).value)
                                            : Values::StoreSingle(text, (m_context.state.*parameter.realRecord).value);
    const QString name = parameter.controlName();
    if (name == QLatin1String("txtFlowLow") || name == QLatin1String("txtFlowHi"))
        flowPairChanged();
    else
        FlagUnlessStored(stored, label(parameter.caption), label(parameter.marker));
}

// The flow fields are cleared as a pair, and only while the high end exceeds the low end.
void MrFields::flowPairChanged()
{
    MrControls &c = m_window.controls();
    if (Values::Val(c.txtFlowHi->text()) > Values::Val(c.txtFlowLow->text())) {
        UnflagField(c.lblFlowLow, c.lblFlowLowE);
        UnflagField(c.lblFlowHi, c.lblFlowHiE);
    }
    if (!FitsRealRecord(c.txtFlowLow->text()))
        FlagField(c.lblFlowLow, c.lblFlowLowE);
    if (!FitsRealRecord(c.txtFlowHi->text()))
        FlagField(c.lblFlowHi, c.lblFlowHiE);
}

void MrFields::leaveField(const Parameter &parameter)
{
    QLabel *marker = label(parameter.marker);
    if (IsFieldFlagged(marker))
        return;
    QLineEdit *text = field(parameter);
    QLabel *caption = label(parameter.caption);
    if (parameter.intRecord)
        CheckIntField(text, m_context.state.*parameter.intRecord, caption, marker, m_context.dialogs);
    else
        CheckRealField(text, m_context.state.*parameter.realRecord, caption, marker, m_context.dialogs);
}

bool MrFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    // Focus taken by another window (a message box, a dialog) or a popup is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_leaving)
        return false;
    const Parameter *parameter = ParameterSet::mr().find(watched->objectName());
    if (!parameter || !parameter->isText())
        return false;

    // The field finishes its own focus-out first, so the check's focus and selection are not undone after it.
    const QScopedValueRollback<bool> guard(m_leaving, true);
    static_cast<QObject *>(watched)->event(event);
    leaveField(*parameter);
    return true;
}

bool MrFields::CheckMissingFields()
{
    MrControls &c = m_window.controls();
    DeviceState &s = m_context.state;
    bool result = true;
    for (const Parameter &p : ParameterSet::mr().rows()) {
        QLabel *caption = label(p.caption);
        QLabel *marker = label(p.marker);
        if (p.kind == Parameter::Kind::List) {
            if (list(p)->currentIndex() == -1) {
                FlagField(caption, marker);
                result = false;
            }
            continue;
        }
        // A text whose number its record cannot hold was never entered as far as the device goes.
        const QString text = field(p)->text();
        const bool fits = p.intRecord ? FitsIntRecord(text) : FitsRealRecord(text);
        if (!isActive(p) || (!text.isEmpty() && fits))
            continue;
        FlagField(caption, marker);
        result = false;
        if (p.controlName() == QLatin1String("txtLinearPts"))
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
