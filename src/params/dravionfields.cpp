#include "dravionfields.h"

#include <cmath>

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "link/userdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/values.h"
#include "params/altmaincontrols.h"
#include "params/configreader.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/versioncheck.h"

namespace {

bool isMassUnit(const QString &text)
{
    return text == QLatin1String("Kgs") || text == QLatin1String("Lbs");
}

} // namespace

DravionFields::DravionFields(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_controls(*host.controls)
    , m_markMissingPoints(std::move(host.markMissingPoints))
    , m_context(context)
{
    AltMainControls &c = m_controls;
    for (QLineEdit *field : {c.txtKfactor, c.txtFlowLow, c.txtFlowHi, c.txtSpg})
        FieldKeyFilter::install(field, FieldFilter::Class::Decimal);
    for (QLineEdit *field : {c.txtDamping, c.txtLinearPts})
        FieldKeyFilter::install(field, FieldFilter::Class::Digits);
    for (QLineEdit *field : {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg})
        field->installEventFilter(this);

    connect(c.txtKfactor, &QLineEdit::textChanged, this, &DravionFields::txtKfactor_Change);
    connect(c.txtDamping, &QLineEdit::textChanged, this, &DravionFields::txtDamping_Change);
    connect(c.txtFlowLow, &QLineEdit::textChanged, this, &DravionFields::txtFlowLow_Change);
    connect(c.txtFlowHi, &QLineEdit::textChanged, this, &DravionFields::txtFlowHi_Change);
    connect(c.txtLinearPts, &QLineEdit::textChanged, this, &DravionFields::txtLinearPts_Change);
    connect(c.txtSpg, &QLineEdit::textChanged, this, &DravionFields::txtSpg_Change);
    connect(c.cboRateUnits, &QComboBox::currentIndexChanged, this, &DravionFields::cboRateUnits_Click);
    connect(c.cboRateInterval, &QComboBox::currentIndexChanged, this, &DravionFields::cboRateInterval_Click);
    connect(c.cboKfactorUnits, &QComboBox::currentIndexChanged, this, &DravionFields::cboKfactorUnits_Click);
    for (int i = 0; i < 2; ++i) {
        connect(c.optType[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                optType_Click(i);
        });
    }
}

void DravionFields::loadConfiguration()
{
    loadConfigurationFrom(QCoreApplication::applicationDirPath());
}

void DravionFields::loadConfigurationFrom(const QString &folder)
{
    m_configPath = ConfigReader::chooseFile(folder, ConfigReader::Family::Dravion);
    const ConfigReadResult result = ConfigReader::readFile(m_configPath, ConfigReader::Family::Dravion, m_context.state);

    // Lists filled before a read error stay. Nothing is selected at start, so filling must not select.
    AltMainControls &c = m_controls;
    for (auto it = result.lists.cbegin(); it != result.lists.cend(); ++it) {
        QComboBox *box = it.key() == 3 ? c.cboRateUnits : it.key() == 4 ? c.cboRateInterval
                       : it.key() == 8 ? c.cboKfactorUnits : nullptr;
        if (!box)
            continue;
        const QSignalBlocker blocker(box);
        const int selected = box->currentIndex();
        box->addItems(it.value());
        box->setCurrentIndex(selected);
    }

    UserDialogs &dialogs = m_context.dialogs;
    if (result.readError)
        dialogs.message(ConfigReader::readErrorText(), UserDialogs::Icon::Critical);
    else if (result.syntaxError)
        dialogs.message(ConfigReader::syntaxErrorText(), UserDialogs::Icon::Critical, ConfigReader::syntaxErrorTitle());
}

void DravionFields::txtKfactor_Change()
{
    AltMainControls &c = m_controls;
    float value = m_context.state.KfactorItems[0].value;
    FlagUnlessStored(Values::StoreSingle(c.txtKfactor->text(), value), c.lblKFactor, c.lblKfactorE);
    for (RealItem &item : m_context.state.KfactorItems)
        item.value = value;
}

void DravionFields::txtDamping_Change()
{
    AltMainControls &c = m_controls;
    const bool stored = Values::StoreInt(c.txtDamping->text(), m_context.state.DampingItem.value);
    FlagUnlessStored(stored, c.lblDamping, c.lblDampingE);
}

void DravionFields::txtLinearPts_Change()
{
    AltMainControls &c = m_controls;
    const bool stored = Values::StoreInt(c.txtLinearPts->text(), m_context.state.LinearPtsItem.value);
    FlagUnlessStored(stored, c.lblLinearPts, c.lblLinearPtsE);
}

void DravionFields::txtSpg_Change()
{
    AltMainControls &c = m_controls;
    FlagUnlessStored(Values::StoreSingle(c.txtSpg->text(), m_context.state.SpgItem.value), c.lblSpg, c.lblSpgE);
}

void DravionFields::txtFlowLow_Change()
{
    Values::StoreSingle(m_controls.txtFlowLow->text(), m_context.state.FlowLowItem.value);
    flowPairChanged();
}

void DravionFields::txtFlowHi_Change()
{
    Values::StoreSingle(m_controls.txtFlowHi->text(), m_context.state.FlowHiItem.value);
    flowPairChanged();
}

// The flow fields are cleared as a pair, and only while the high end exceeds the low end.
void DravionFields::flowPairChanged()
{
    AltMainControls &c = m_controls;
    if (Values::Val(c.txtFlowHi->text()) > Values::Val(c.txtFlowLow->text())) {
        UnflagField(c.lblFlowLow, c.lblFlowLowE);
        UnflagField(c.lblFlowHi, c.lblFlowHiE);
    }
    if (!FitsRealRecord(c.txtFlowLow->text()))
        FlagField(c.lblFlowLow, c.lblFlowLowE);
    if (!FitsRealRecord(c.txtFlowHi->text()))
        FlagField(c.lblFlowHi, c.lblFlowHiE);
}

void DravionFields::cboRateUnits_Click()
{
    AltMainControls &c = m_controls;
    m_context.state.RateUnits = qint16(c.cboRateUnits->currentIndex());
    UnflagField(c.lblRateUnits, c.lblRateUnitsE);
    const bool mass = isMassUnit(c.cboRateUnits->currentText());
    c.txtSpg->setVisible(mass);
    c.lblSpg->setVisible(mass);
}

void DravionFields::cboRateInterval_Click()
{
    AltMainControls &c = m_controls;
    m_context.state.RateInterval = qint16(c.cboRateInterval->currentIndex());
    UnflagField(c.lblRateInterval, c.lblRateIntervalE);
}

void DravionFields::cboKfactorUnits_Click()
{
    AltMainControls &c = m_controls;
    m_context.state.KfactorUnits = qint16(c.cboKfactorUnits->currentIndex());
    UnflagField(c.lblKfactorUnits, c.lblKfactorUnitsE);
}

void DravionFields::optType_Click(int Index)
{
    // The device may report a type this window has no option for; that leaves the choice as it is.
    if (Index != 0 && Index != 1)
        return;
    AltMainControls &c = m_controls;
    if (!m_settingType) {
        const QScopedValueRollback<bool> guard(m_settingType, true);
        c.optType[std::size_t(Index)]->setChecked(true);
    }
    c.lblFlowLow->setText(Index == 0 ? QStringLiteral("Flow at 4mA") : QStringLiteral("Flow at 0V"));
    c.lblFlowHi->setText(Index == 0 ? QStringLiteral("Flow at 20mA") : QStringLiteral("Flow at 5V"));
    m_context.state.OutputType = qint16(Index);
}

void DravionFields::txtKfactor_LostFocus()
{
    AltMainControls &c = m_controls;
    if (IsFieldFlagged(c.lblKfactorE))
        return;
    const int units = c.cboKfactorUnits->currentIndex();
    if (units != 0 && units != 1)
        return;
    CheckRealField(c.txtKfactor, m_context.state.KfactorItems[std::size_t(units)], c.lblKFactor, c.lblKfactorE,
                   m_context.dialogs);
}

void DravionFields::txtDamping_LostFocus()
{
    AltMainControls &c = m_controls;
    if (!IsFieldFlagged(c.lblDampingE))
        CheckIntField(c.txtDamping, m_context.state.DampingItem, c.lblDamping, c.lblDampingE, m_context.dialogs);
}

void DravionFields::txtFlowLow_LostFocus()
{
    AltMainControls &c = m_controls;
    if (!IsFieldFlagged(c.lblFlowLowE))
        CheckRealField(c.txtFlowLow, m_context.state.FlowLowItem, c.lblFlowLow, c.lblFlowLowE, m_context.dialogs);
}

void DravionFields::txtFlowHi_LostFocus()
{
    AltMainControls &c = m_controls;
    if (!IsFieldFlagged(c.lblFlowHiE))
        CheckRealField(c.txtFlowHi, m_context.state.FlowHiItem, c.lblFlowHi, c.lblFlowHiE, m_context.dialogs);
}

void DravionFields::txtLinearPts_LostFocus()
{
    AltMainControls &c = m_controls;
    if (!IsFieldFlagged(c.lblLinearPtsE))
        CheckIntField(c.txtLinearPts, m_context.state.LinearPtsItem, c.lblLinearPts, c.lblLinearPtsE,
                      m_context.dialogs);
}

void DravionFields::txtSpg_LostFocus()
{
    AltMainControls &c = m_controls;
    if (!IsFieldFlagged(c.lblSpgE))
        CheckRealField(c.txtSpg, m_context.state.SpgItem, c.lblSpg, c.lblSpgE, m_context.dialogs);
}

bool DravionFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    // Focus taken by another window (a message box, a dialog) or a popup is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_leaving)
        return false;

    AltMainControls &c = m_controls;
    void (DravionFields::*handler)() = nullptr;
    if (watched == c.txtKfactor)
        handler = &DravionFields::txtKfactor_LostFocus;
    else if (watched == c.txtDamping)
        handler = &DravionFields::txtDamping_LostFocus;
    else if (watched == c.txtFlowLow)
        handler = &DravionFields::txtFlowLow_LostFocus;
    else if (watched == c.txtFlowHi)
        handler = &DravionFields::txtFlowHi_LostFocus;
    else if (watched == c.txtLinearPts)
        handler = &DravionFields::txtLinearPts_LostFocus;
    else if (watched == c.txtSpg)
        handler = &DravionFields::txtSpg_LostFocus;
    if (!handler)
        return false;

    // The field finishes its own focus-out first, so the check's focus and selection are not undone after it.
    const QScopedValueRollback<bool> guard(m_leaving, true);
    static_cast<QObject *>(watched)->event(event);
    (this->*handler)();
    return true;
}

bool DravionFields::CheckMissingFields()
{
    AltMainControls &c = m_controls;
    bool result = true;
    const struct { QComboBox *box; QLabel *caption; QLabel *marker; } lists[] = {
        {c.cboRateUnits, c.lblRateUnits, c.lblRateUnitsE},
        {c.cboRateInterval, c.lblRateInterval, c.lblRateIntervalE},
        {c.cboKfactorUnits, c.lblKfactorUnits, c.lblKfactorUnitsE},
    };
    for (const auto &list : lists) {
        if (list.box->currentIndex() == -1) {
            FlagField(list.caption, list.marker);
            result = false;
        }
    }
    // A text whose number its record cannot hold was never entered as far as the device goes.
    const struct { QLineEdit *field; QLabel *caption; QLabel *marker; bool (*fits)(const QString &); } texts[] = {
        {c.txtKfactor, c.lblKFactor, c.lblKfactorE, FitsRealRecord},
        {c.txtDamping, c.lblDamping, c.lblDampingE, FitsIntRecord},
        {c.txtFlowLow, c.lblFlowLow, c.lblFlowLowE, FitsRealRecord},
        {c.txtFlowHi, c.lblFlowHi, c.lblFlowHiE, FitsRealRecord},
    };
    for (const auto &text : texts) {
        if (text.field->text().isEmpty() || !text.fits(text.field->text())) {
            FlagField(text.caption, text.marker);
            result = false;
        }
    }
    if (!c.txtSpg->isHidden() && (c.txtSpg->text().isEmpty() || !FitsRealRecord(c.txtSpg->text()))) {
        FlagField(c.lblSpg, c.lblSpgE);
        result = false;
    }
    if (c.txtLinearPts->text().isEmpty()) {
        FlagField(c.lblLinearPts, c.lblLinearPtsE);
        return false;
    }
    const double points = Values::Val(c.txtLinearPts->text());
    const IntItem &range = m_context.state.LinearPtsItem;
    if (points < range.minimum || points > range.maximum) {
        FlagField(c.lblLinearPts, c.lblLinearPtsE);
        return false;
    }

    if (!m_markMissingPoints(points))
        result = false;
    return result;
}

void DravionFields::CheckDeviceVersion()
{
    VersionCheck::CheckDeviceVersion(m_context);
}
