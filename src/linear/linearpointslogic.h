// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QList>
#include <QObject>
#include <QString>

struct DeviceFamily;
class DeviceState;
class UserDialogs;

// Behaviour of the linear points window without widgets: the ten rows' texts, which rows are in
// use, the range checks with their messages and markers, and what each edit stores into the point
// tables of the device state. The window mirrors the signals into its controls and forwards the
// user's edits, leaves and clicks to the handlers.
class LinearPointsLogic final : public QObject
{
    Q_OBJECT

public:
    static constexpr int Rows = 10;
    enum class Column { Freq, Coef };

    // The family tells what the first column holds: a frequency or a position.
    LinearPointsLogic(
        DeviceState &state, UserDialogs &dialogs, const DeviceFamily &family, QObject *parent = nullptr);

    // The rows among the first `count` whose point was never entered.
    static QList<int> missingRows(const DeviceState &state, double count);

    QString heading(Column column) const;
    const QString &text(Column column, int row) const { return cell(column, row); }
    bool isRowActive(int row) const { return m_rows.at(row).active; }
    bool isMarkerShown(int row) const { return m_rows.at(row).marker; }
    bool isNumberRed(int row) const { return m_rows.at(row).numberRed; }
    bool isHeadingRed(Column column) const { return m_headingRed[index(column)]; }

    // A box's new text, typed or set: runs the box's change handler. An unchanged text does nothing.
    void setText(Column column, int row, const QString &text);
    // Active rows are editable and numbered; inactive ones are greyed, unnumbered and unmarked.
    void setRowActive(int row, bool active);
    // Marks a row whose point was never entered (red number and marker), or clears that mark.
    void setRowMarked(int row, bool marked);
    // Opening the window for `count` points: the active rows show the entered points.
    void showRows(double count);

    // Handlers, named after the controls they serve.
    void txtFreq_LostFocus(int row);
    void txtCoef_LostFocus(int row);
    void btnOK_Click();
    void Form_Unload();

Q_SIGNALS:
    void textSet(LinearPointsLogic::Column column, int row, const QString &text);
    void rowChanged(int row); // active, number colour or marker
    void headingChanged(LinearPointsLogic::Column column);
    // A failed check hands the focus back to the box with its whole text selected.
    void focusReturned(LinearPointsLogic::Column column, int row);
    void hideRequested();

private:
    struct Row
    {
        std::array<QString, 2> texts;
        bool active = true;
        bool numberRed = false;
        bool marker = false;
    };

    static int index(Column column) { return column == Column::Freq ? 0 : 1; }
    QString &cell(Column column, int row) { return m_rows.at(row).texts[index(column)]; }
    const QString &cell(Column column, int row) const { return m_rows.at(row).texts[index(column)]; }
    void txtFreq_Change(int row);
    void txtCoef_Change(int row);
    bool replaceLonePoint(Column column, int row);
    void setHeadingRed(Column column, bool red);
    void clearRowIfComplete(int row);
    void refuse(Column column, int row, const QString &message);

    DeviceState &m_state;
    UserDialogs &m_dialogs;
    const DeviceFamily &m_family;
    std::array<Row, Rows> m_rows {};
    std::array<bool, 2> m_headingRed {};
};
