// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include "link/trafficecho.h"
#include "monitor/trafficstamps.h"

class DeviceState;
class LinkEngine;
class UserDialogs;

// The line monitor's traffic text without widgets: the rows the link echoes in the chosen display
// form, their time stamps, the row limit and what Save Traffic writes. The window mirrors the
// signals into its text box and forwards the tab clicks, the stamps box and the save button.
class TrafficText final : public QObject, public TrafficEcho
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 151;

    // Load: the text starts empty and the row count at 0.
    TrafficText(DeviceState &state, UserDialogs &dialogs, QObject *parent = nullptr);

    bool isShowing() const override { return true; } // the window answers by its visibility
    Mode mode() const override { return m_mode; }
    void appendText(const QString &text) override;
    void UpdateCommTextboxRows() override;

    // A display tab was clicked: the text empties and the count restarts; shown text is not converted.
    void selectDisplay(Mode mode);
    void setTimeStamps(bool on) { m_stamps.setEnabled(on); }
    void setClock(TrafficStamps::Clock clock) { m_stamps.setClock(std::move(clock)); }

    // Rows separated by '\n', as the text box shows them.
    const QString &shownText() const { return m_text; }
    // Rows joined by CR LF, as Save Traffic writes them after its first line.
    QString text() const;
    // Save Traffic's first line names the port and the family the traffic went through.
    void setOrigin(const LinkEngine *link, const QString &family);
    QString firstLine() const; // date and time, port, family; no line break
    void btnSaveTraffic_Click();

Q_SIGNALS:
    void appended(const QString &rows); // rows separated by '\n'
    void removedFromStart(qsizetype characters);
    void cleared();

private:
    DeviceState &m_state;
    UserDialogs &m_dialogs;
    TrafficStamps m_stamps;
    const LinkEngine *m_link = nullptr;
    QString m_family = QStringLiteral("Dravion");
    QString m_text;
    bool m_pendingCr = false; // the text so far ends with a CR whose LF may still follow
    Mode m_mode = Mode::Ascii;
};
