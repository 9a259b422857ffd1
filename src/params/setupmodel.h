// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QMap>
#include <QString>
#include <QStringList>

#include "link/devicestate.h"

struct DeviceFamily;
struct Parameter;

// A family's setup: the records, the list entries and positions, the field texts as entered, the
// flags and which fields another field's choice greys or hides. A change runs what the field's
// handler does (store the record at once, flag or clear the field, apply the family's rules) and
// then tells the window that shows it, if any. As with the window's controls, setting what is
// already there changes nothing.
class SetupModel final
{
public:
    // What a window showing the setup is told, after each change.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void textChanged(const Parameter &parameter) = 0;
        virtual void positionChanged(const Parameter &parameter) = 0;
        virtual void flagChanged(const Parameter &parameter) = 0;
        // A list's choice was made that may grey or show this field.
        virtual void activeChanged(const Parameter &parameter) = 0;
        // A linear point entered by a data file: the window's points have logic of their own.
        virtual void pointEntered(int row, int column, const QString &text) = 0;
        virtual void outputTypeReplied(qint16 reply) = 0;
    };

    // A setup of its own: codes, limits and the version from configured, everything else cleared.
    SetupModel(const DeviceFamily &family, const DeviceState &configured);
    // The setup of a window, on the records the window's other parts share, as the window starts:
    // no selection, empty fields, nothing flagged.
    static std::unique_ptr<SetupModel> over(const DeviceFamily &family, DeviceState &records);

    SetupModel(SetupModel &&) = default;

    const DeviceFamily &family() const { return m_family; }
    DeviceState &records() { return *m_records; }
    const DeviceState &records() const { return *m_records; }

    void setListener(Listener *listener) { m_listener = listener; }

    // The choice lists as the configuration fills them, keyed by item code; the others stay.
    void setLists(const QMap<int, QStringList> &lists);
    void setListEntries(const Parameter &parameter, const QStringList &entries);
    QStringList listEntries(const Parameter &parameter) const;
    // As Clear all Data leaves a setup: no selection, empty fields, no linear point set.
    void clear();
    // Clear all Data's steps, through every field's handler: a list gets entry 0, then no selection;
    // a text "0", then its cleared text; the flow pair high "1" above low "0", which clears both
    // flags, before both are emptied.
    void clearFields();

    // Neither greyed nor hidden by another field's choice; a field that is not is neither read, sent
    // nor required.
    bool isActive(const Parameter &parameter) const;
    int listPosition(const Parameter &parameter) const;
    int listCount(const Parameter &parameter) const;
    void setListPosition(const Parameter &parameter, int position);
    QString text(const Parameter &parameter) const;
    void setText(const Parameter &parameter, const QString &text);
    QString listText(const Parameter &parameter) const; // the selected entry, "" for none
    // The device's answer to "I"; a window with output type options selects one.
    void outputTypeReply(qint16 reply);

    // A flagged field has a red caption and its marker shown; a marker may also show alone.
    bool captionFlagged(const Parameter &parameter) const;
    bool markerShown(const Parameter &parameter) const;
    void flag(const Parameter &parameter);
    void unflag(const Parameter &parameter);
    void showMarker(const Parameter &parameter);

    // Leaving a text field: nothing while its marker shows or it is greyed, else the range check.
    // A refused text flags the field; the answer is what the user is told.
    std::optional<QString> leaveCheck(const Parameter &parameter, const QString &caption);

    // The point rows the Linear Points text puts in use, valid or not: its whole part, 0 to 10.
    int pointRowsInUse() const;
    // The names of what the missing-entry check would flag; empty when complete.
    QStringList missing() const;
    // The missing-entry check of Download Setup: flags every missing field, and asks
    // markMissingPoints to mark the missing rows among the first n points once the count is usable.
    // True when nothing is missing.
    bool flagMissing(const std::function<bool(double)> &markMissingPoints);

    // A cell of the linear points window: column 0 the frequency (or position), 1 the flow.
    void setPointText(int row, int column, const QString &text);

private:
    SetupModel(const DeviceFamily &family, DeviceState *records);

    struct Field
    {
        QStringList entries;
        int position = -1;
        QString text;
        bool active = true;
        bool captionFlagged = false;
        bool markerShown = false;
    };

    Field &field(const Parameter &parameter);
    const Field &field(const Parameter &parameter) const;
    const Parameter *row(const char *control) const;
    void applyPosition(const Parameter &parameter, int position);
    void applyText(const Parameter &parameter, const QString &text);
    void applyRules(const Parameter &list);
    void flowPairChanged();
    void setFlags(const Parameter &parameter, bool caption, bool marker);
    bool holdsNumber(const Parameter &parameter) const;
    // The missing-entry check's one walk, in item order: the fields a transfer needs and lacks, the
    // Linear Points among them when its number is empty or unusable.
    std::vector<const Parameter *> missingFields() const;
    std::optional<double> pointCount() const; // the number of points once it is usable

    const DeviceFamily &m_family;
    std::unique_ptr<DeviceState> m_own; // a setup of its own; empty for a window's
    DeviceState *m_records;
    std::vector<Field> m_fields; // one per parameter, in the set's order
    Listener *m_listener = nullptr;
};
