// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupfields.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "link/userdialogs.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/typinglimit.h"
#include "params/versioncheck.h"

SetupFields::SetupFields(SetupModel &model, const std::vector<Controls> &controls, AppContext &context,
    Points points, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_model(model)
    , m_family(model.family())
    , m_controls(model.family().parameters.rows().size())
    , m_points(std::move(points))
{
    for (const Controls &c : controls) {
        if (const Parameter *p = m_family.parameters.find(c.control->objectName()))
            m_controls.at(size_t(m_family.parameters.indexOf(*p))) = c;
    }
    for (const Parameter &p : m_family.parameters.rows()) {
        QWidget *control = this->controls(p).control;
        if (p.kind == Parameter::Kind::List) {
            connect(static_cast<QComboBox *>(control), &QComboBox::currentIndexChanged, this, [this, &p] {
                if (!m_showing)
                    m_model.setListPosition(p, list(p)->currentIndex());
            });
        } else {
            auto *text = static_cast<QLineEdit *>(control);
            FieldKeyFilter::install(text, p.filter());
            TypingLimit::install(text, p.typingLimit);
            text->installEventFilter(this);
            // text() rather than the signal's argument: a text cleaned inside textEdited is followed
            // by a late textChanged carrying the uncleaned one.
            connect(text, &QLineEdit::textChanged, this, [this, &p] {
                if (!m_showing)
                    m_model.setText(p, field(p)->text());
            });
        }
    }
    m_model.setListener(this);
}

SetupFields::~SetupFields()
{
    m_model.setListener(nullptr);
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
    return static_cast<QComboBox *>(controls(parameter).control);
}

QLineEdit *SetupFields::field(const Parameter &parameter) const
{
    return static_cast<QLineEdit *>(controls(parameter).control);
}

QLabel *SetupFields::caption(const Parameter &parameter) const
{
    return controls(parameter).caption;
}

void SetupFields::loadConfigurationFrom(const QString &folder)
{
    m_configPath = m_family.configurationPath(folder);
    const ConfigReadResult result = ConfigReader::readFile(m_configPath, m_family.config, m_context.state);

    // Lists filled before a read error stay. Nothing is selected at start, so filling must not select.
    m_model.setLists(result.lists);
    for (const Parameter &p : m_family.parameters.rows()) {
        if (p.kind != Parameter::Kind::List || !result.lists.contains(p.code))
            continue;
        QComboBox *box = list(p);
        const QSignalBlocker blocker(box);
        const int selected = box->currentIndex();
        box->clear();
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

void SetupFields::textChanged(const Parameter &parameter)
{
    // Setting an equal text would still move the caret.
    QLineEdit *text = field(parameter);
    if (text->text() == m_model.text(parameter))
        return;
    const QScopedValueRollback<bool> guard(m_showing, true);
    text->setText(m_model.text(parameter));
}

void SetupFields::positionChanged(const Parameter &parameter)
{
    {
        const QScopedValueRollback<bool> guard(m_showing, true);
        list(parameter)->setCurrentIndex(m_model.listPosition(parameter));
    }
    showPosition(parameter);
}

void SetupFields::flagChanged(const Parameter &parameter)
{
    const Controls &c = controls(parameter);
    if (m_model.captionFlagged(parameter))
        FlagField(c.caption, nullptr);
    else
        UnflagField(c.caption, nullptr);
    if (c.marker)
        c.marker->setVisible(m_model.markerShown(parameter));
}

void SetupFields::pointEntered(int row, int column, const QString &text)
{
    if (m_points.enter)
        m_points.enter(row, column, text);
}

void SetupFields::leaveField(const Parameter &parameter)
{
    QLabel *label = caption(parameter);
    const std::optional<QString> refusal = m_model.leaveCheck(parameter, label ? label->text() : QString());
    if (!refusal)
        return;
    QLineEdit *text = field(parameter);
    text->setFocus(Qt::OtherFocusReason);
    text->setSelection(0, int(text->text().size()));
    m_context.dialogs.message(*refusal, UserDialogs::Icon::Exclamation, QStringLiteral("Error"));
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
    return m_model.flagMissing(m_points.markMissing);
}

void SetupFields::CheckDeviceVersion()
{
    VersionCheck::CheckDeviceVersion(m_context);
}
