// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QMap>
#include <QString>
#include <QStringList>

#include "link/devicestate.h"
#include "params/setupview.h"

struct DeviceFamily;

// A family's setup without a window: the records, the list entries and positions and the field
// texts a main window would show, changed exactly as the window's handlers change them.
class SetupModel final : public SetupView
{
public:
    // Codes, limits and the version come from configured; everything else starts cleared.
    SetupModel(const DeviceFamily &family, const DeviceState &configured);

    const DeviceFamily &family() const { return m_family; }
    DeviceState &records() { return m_records; }
    const DeviceState &records() const { return m_records; }

    // The choice lists as the configuration fills them, keyed by item code.
    void setLists(const QMap<int, QStringList> &lists);
    void setListEntries(const Parameter &parameter, const QStringList &entries);
    // As Clear all Data leaves a window: no selection, empty fields, no linear point set.
    void clear();

    bool isActive(const Parameter &parameter) const override;
    int listPosition(const Parameter &parameter) const override;
    int listCount(const Parameter &parameter) const override;
    void setListPosition(const Parameter &parameter, int position) override;
    QString text(const Parameter &parameter) const override;
    void setText(const Parameter &parameter, const QString &text) override;
    QString listText(const Parameter &parameter) const override;

    // The names of what the missing-entry check of the window would flag; empty when complete.
    QStringList missing() const;

    // A cell of the linear points window: column 0 the frequency (or position), 1 the flow.
    void setPointText(int row, int column, const QString &text);

private:
    bool holdsNumber(const Parameter &parameter) const;

    struct Field
    {
        QStringList entries;
        int position = -1;
        QString text;
    };

    const Field &field(const Parameter &parameter) const;
    QString listTextOf(const char *control) const;

    const DeviceFamily &m_family;
    DeviceState m_records;
    std::vector<Field> m_fields; // one per parameter, in the set's order
};
