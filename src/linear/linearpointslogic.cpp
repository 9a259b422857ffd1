// SPDX-License-Identifier: GPL-3.0-or-later
#include "linearpointslogic.h"

#include <algorithm>
#include <cmath>

#include "link/devicestate.h"
#include "link/userdialogs.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/fieldrange.h"

namespace {

// Frequencies from here up do not fit the device's table and are not stored.
constexpr double FrequencyLimit = 32000.0;

} // namespace

LinearPointsLogic::LinearPointsLogic(
    DeviceState &state, UserDialogs &dialogs, const DeviceFamily &family, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_family(family)
{
}

QList<int> LinearPointsLogic::missingRows(const DeviceState &state, double count)
{
    // The window has ten rows; a configured maximum above that cannot index past them.
    const int rows = std::clamp(int(std::floor(count)), 0, Rows);
    QList<int> missing;
    for (int i = 0; i < rows; ++i) {
        if (state.LinFlowItems.at(i).value == -1.0f || state.LinFreqItems.at(i).value == -1)
            missing << i;
    }
    return missing;
}

QString LinearPointsLogic::heading(Column column) const
{
    if (column == Column::Coef)
        return QStringLiteral("Coefficient");
    return m_family.pointHeading;
}

void LinearPointsLogic::setText(Column column, int row, const QString &text)
{
    if (cell(column, row) == text)
        return;
    cell(column, row) = text;
    if (column == Column::Freq)
        txtFreq_Change(row);
    else
        txtCoef_Change(row);
    // A lone point has been replaced meanwhile, and that replacement was shown.
    if (cell(column, row) == text)
        emit textSet(column, row, text);
}

void LinearPointsLogic::setRowActive(int row, bool active)
{
    Row &r = m_rows.at(row);
    r.active = active;
    if (!active)
        r.marker = false;
    emit rowChanged(row);
}

void LinearPointsLogic::setRowMarked(int row, bool marked)
{
    Row &r = m_rows.at(row);
    r.numberRed = marked;
    r.marker = marked;
    emit rowChanged(row);
}

void LinearPointsLogic::showRows(double count)
{
    // The table has ten rows whatever the configuration allows.
    const int n = Values::CInt(std::clamp(count, 0.0, double(Rows)));
    for (int i = 0; i < n; ++i) {
        if (m_state.LinFreqItems.at(i).value != -1)
            setText(Column::Freq, i, Values::FormatInt(m_state.LinFreqItems.at(i).value));
        if (m_state.LinFlowItems.at(i).value != -1.0f)
            setText(Column::Coef, i, Values::FormatSingle(m_state.LinFlowItems.at(i).value));
        setRowActive(i, true);
    }
    for (int i = n; i < Rows; ++i)
        setRowActive(i, false);
}

bool LinearPointsLogic::replaceLonePoint(Column column, int row)
{
    if (cell(column, row) != QLatin1String("."))
        return false;
    // The replacement runs the change handler again, now for "0.".
    setText(column, row, QStringLiteral("0."));
    return true;
}

void LinearPointsLogic::txtFreq_Change(int row)
{
    // Positions take a lone point like the flow column; one integer table serves both families.
    if (m_family.pointPositions && replaceLonePoint(Column::Freq, row))
        return;
    const QString &text = cell(Column::Freq, row);
    if (Values::Val(text) < FrequencyLimit)
        Values::StoreInt(text, m_state.LinFreqItems.at(row).value);
    setHeadingRed(Column::Freq, false);
    clearRowIfComplete(row);
}

void LinearPointsLogic::txtCoef_Change(int row)
{
    if (replaceLonePoint(Column::Coef, row))
        return;
    Values::StoreSingle(cell(Column::Coef, row), m_state.LinFlowItems.at(row).value);
    setHeadingRed(Column::Coef, false);
    clearRowIfComplete(row);
}

void LinearPointsLogic::setHeadingRed(Column column, bool red)
{
    m_headingRed[index(column)] = red;
    emit headingChanged(column);
}

void LinearPointsLogic::clearRowIfComplete(int row)
{
    if (m_state.LinFreqItems.at(row).value != -1 && m_state.LinFlowItems.at(row).value != -1.0f)
        setRowMarked(row, false);
}

void LinearPointsLogic::refuse(Column column, int row, const QString &message)
{
    setHeadingRed(column, true);
    m_rows.at(row).marker = true;
    emit rowChanged(row);
    emit focusReturned(column, row);
    m_dialogs.message(message, UserDialogs::Icon::Exclamation, QStringLiteral("Error"));
}

void LinearPointsLogic::txtFreq_LostFocus(int row)
{
    if (isMarkerShown(row))
        return;
    const IntItem &range = m_state.LinFreqItems.at(row);
    if (FieldRange::refusesInt(text(Column::Freq, row), range))
        refuse(Column::Freq, row, FieldRange::message(heading(Column::Freq), range));
}

void LinearPointsLogic::txtCoef_LostFocus(int row)
{
    // An inactive row's flow box is disabled, and a disabled field passes its check.
    if (isMarkerShown(row) || !isRowActive(row))
        return;
    const RealItem &range = m_state.LinFlowItems.at(row);
    if (FieldRange::refusesReal(text(Column::Coef, row), range))
        refuse(Column::Coef, row, FieldRange::message(heading(Column::Coef), range));
}

void LinearPointsLogic::btnOK_Click()
{
    emit hideRequested();
}

void LinearPointsLogic::Form_Unload()
{
    // Read Setup closes the window this way also while it is hidden; the checks still apply there.
    for (int i = 0; i < Rows; ++i) {
        if (isRowActive(i)) {
            txtFreq_LostFocus(i);
            txtCoef_LostFocus(i);
        }
    }
    emit hideRequested();
}
