// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupfields.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "link/devicestate.h"
#include "link/userdialogs.h"
#include "link/values.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/typinglimit.h"
#include "params/versioncheck.h"

SetupFields::SetupFields(const DeviceFamily &family, QWidget &window, AppContext &context,
    std::function<bool(double)> markMissingPoints, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_family(family)
    , m_markMissingPoints(std::move(markMissingPoints))
{
    auto labelOf
        = [&window](const char *name) { return window.findChild<QLabel *>(QString::fromLatin1(name)); };
    for (const Parameter &p : family.parameters.rows()) {
        Controls c;
        c.caption = labelOf(p.caption);
        c.marker = labelOf(p.marker);
        if (p.kind == Parameter::Kind::List) {
            c.list = window.findChild<QComboBox *>(p.controlName());
            connect(c.list, &QComboBox::currentIndexChanged, this, [this, &p] { listChanged(p); });
        } else {
            c.field = window.findChild<QLineEdit *>(p.controlName());
            FieldKeyFilter::install(c.field, p.filter());
            TypingLimit::install(c.field, p.typingLimit);
            c.field->installEventFilter(this);
            connect(c.field, &QLineEdit::textChanged, this, [this, &p] { textChanged(p); });
        }
        m_controls.push_back(c);
    }
}

const SetupFields::Controls &SetupFields::controls(const Parameter &parameter) const
{
    return m_controls.at(size_t(m_family.parameters.indexOf(parameter)));
}

const Parameter &SetupFields::row(const char *control) const
{
    return *m_family.parameters.find(QString::fromLatin1(control));
}

QComboBox *SetupFields::list(const Parameter &parameter) const
{
    return controls(parameter).list;
}

QLineEdit *SetupFields::field(const Parameter &parameter) const
{
    return controls(parameter).field;
}

QLabel *SetupFields::caption(const Parameter &parameter) const
{
    return controls(parameter).caption;
}

QLabel *SetupFields::marker(const Parameter &parameter) const
{
    return controls(parameter).marker;
}

void SetupFields::loadConfigurationFrom(const QString &folder)
{
    m_configPath = m_family.configurationPath(folder);
    const ConfigReadResult result = ConfigReader::readFile(m_configPath, m_family.config, m_context.state);

    // Lists filled before a read error stay. Nothing is selected at start, so filling must not select.
    for (const Parameter &p : m_family.parameters.rows()) {
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
        dialogs.message(
            ConfigReader::syntaxErrorText(), UserDialogs::Icon::Critical, ConfigReader::syntaxErrorTitle());
}

bool SetupFields::isActive(const Parameter &parameter) const
{
    return !parameter.switchable() || (!field(parameter)->isHidden() && field(parameter)->isEnabled());
}

void SetupFields::listClicked(const Parameter &parameter)
{
    const qint16 index = qint16(list(parameter)->currentIndex());
    if (parameter.position)
        m_context.state.*parameter.position = index;
    else
        (m_context.state.*parameter.intRecord).value = index;
    UnflagField(caption(parameter), marker(parameter));
}

void SetupFields::textChanged(const Parameter &parameter)
{
    const QString text = field(parameter)->text();
    DeviceState &s = m_context.state;
    bool stored = false;
    if (parameter.rule == Parameter::Rule::KfactorUnits) {
        // One K factor, kept in the entries of both units.
        float value = s.KfactorItems[0].value;
        stored = Values::StoreSingle(text, value);
        for (RealItem &item : s.KfactorItems)
            item.value = value;
    } else if (parameter.intRecord) {
        stored = Values::StoreInt(text, (s.*parameter.intRecord).value);
    } else {
        stored = Values::StoreSingle(text, (s.*parameter.realRecord).value);
    }
    if (ParameterSet::isFlowPair(parameter))
        flowPairChanged();
    else
        FlagUnlessStored(stored, caption(parameter), marker(parameter));
}

// The flow fields are cleared as a pair, and only while the high end exceeds the low end.
void SetupFields::flowPairChanged()
{
    const Parameter &low = row("txtFlowLow");
    const Parameter &high = row("txtFlowHi");
    if (Values::Val(field(high)->text()) > Values::Val(field(low)->text())) {
        UnflagField(caption(low), marker(low));
        UnflagField(caption(high), marker(high));
    }
    if (!Values::FitsSingle(field(low)->text()))
        FlagField(caption(low), marker(low));
    if (!Values::FitsSingle(field(high)->text()))
        FlagField(caption(high), marker(high));
}

void SetupFields::leaveField(const Parameter &parameter)
{
    if (IsFieldFlagged(marker(parameter)))
        return;
    QLineEdit *text = field(parameter);
    UserDialogs &dialogs = m_context.dialogs;
    if (parameter.rule == Parameter::Rule::KfactorUnits) {
        // The range is the one of the selected units; with none selected nothing is checked.
        const int units = list(row("cboKfactorUnits"))->currentIndex();
        if (const RealItem *range = ParameterSet::kfactorRecord(m_context.state, units))
            CheckRealField(text, *range, caption(parameter), marker(parameter), dialogs);
    } else if (parameter.intRecord) {
        CheckIntField(
            text, m_context.state.*parameter.intRecord, caption(parameter), marker(parameter), dialogs);
    } else {
        CheckRealField(
            text, m_context.state.*parameter.realRecord, caption(parameter), marker(parameter), dialogs);
    }
}

bool SetupFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    // Focus taken by another window (a message box, a dialog) or a popup is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_leaving)
        return false;
    const Parameter *parameter = m_family.parameters.find(watched->objectName());
    if (!parameter || !parameter->isText() || field(*parameter) != watched)
        return false;

    // The field finishes its own focus-out first, so the check's focus and selection are not undone after it.
    const QScopedValueRollback<bool> guard(m_leaving, true);
    static_cast<QObject *>(watched)->event(event);
    leaveField(*parameter);
    return true;
}

bool SetupFields::CheckMissingFields()
{
    const Parameter &points = m_family.parameters.linearPts();
    bool result = true;
    for (const Parameter &p : m_family.parameters.rows()) {
        if (&p == &points)
            continue; // last: an empty or impossible number of points ends the check
        if (p.kind == Parameter::Kind::List) {
            if (list(p)->currentIndex() == -1) {
                FlagField(caption(p), marker(p));
                result = false;
            }
            continue;
        }
        // A text whose number its record cannot hold was never entered as far as the device goes.
        const QString text = field(p)->text();
        const bool fits = p.intRecord ? Values::FitsInt(text) : Values::FitsSingle(text);
        if (!isActive(p) || (!text.isEmpty() && fits))
            continue;
        FlagField(caption(p), marker(p));
        result = false;
    }

    const QString text = field(points)->text();
    const double count = Values::Val(text);
    const IntItem &range = m_context.state.LinearPtsItem;
    if (text.isEmpty() || !Values::FitsInt(text) || ParameterSet::unusablePoints(text)
        || count < range.minimum || count > range.maximum) {
        FlagField(caption(points), marker(points));
        return false;
    }
    if (!m_markMissingPoints(count))
        result = false;
    return result;
}

void SetupFields::CheckDeviceVersion()
{
    VersionCheck::CheckDeviceVersion(m_context);
}
