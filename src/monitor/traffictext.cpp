// SPDX-License-Identifier: GPL-3.0-or-later
#include "traffictext.h"

#include <algorithm>

#include <QDateTime>
#include <QIODevice>

#include "link/devicestate.h"
#include "link/exportfile.h"
#include "link/linkengine.h"
#include "link/userdialogs.h"

TrafficText::TrafficText(DeviceState &state, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_dialogs(dialogs)
{
    m_state.MonitorRows = 0;
}

void TrafficText::appendText(const QString &traffic)
{
    const QString text = m_stamps.process(traffic);
    // Rows end in CR LF; the text keeps each break as one '\n', as a text box does.
    QString rows;
    rows.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r')) {
            rows += QLatin1Char('\n');
            m_pendingCr = true;
            continue;
        }
        if (!(c == QLatin1Char('\n') && m_pendingCr))
            rows += c;
        m_pendingCr = false;
    }
    if (rows.isEmpty())
        return;
    m_text += rows;
    emit appended(rows);
}

void TrafficText::UpdateCommTextboxRows()
{
    m_state.MonitorRows = qint16(m_state.MonitorRows + 1);
    if (m_state.MonitorRows <= MaxRows)
        return;
    // The first row with its break; without a break only the first character.
    const qsizetype rowEnd = m_text.indexOf(QLatin1Char('\n'));
    const qsizetype count = rowEnd >= 0 ? rowEnd + 1 : std::min<qsizetype>(1, m_text.size());
    m_state.MonitorRows = MaxRows;
    if (count == 0)
        return;
    m_text.remove(0, count);
    emit removedFromStart(count);
}

void TrafficText::selectDisplay(Mode mode)
{
    m_mode = mode;
    m_text.clear();
    m_pendingCr = false;
    m_stamps.reset();
    m_state.MonitorRows = 0;
    emit cleared();
}

QString TrafficText::text() const
{
    return QString(m_text + m_stamps.held()).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void TrafficText::setOrigin(const LinkEngine *link, const QString &family)
{
    m_link = link;
    m_family = family;
}

QString TrafficText::firstLine() const
{
    const QString port = m_link
        ? QStringLiteral("Com %1 (%2)").arg(m_link->portNumber()).arg(m_link->portPath())
        : QStringLiteral("none");
    return QStringLiteral("Traffic of %1, port %2, family %3")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), port, m_family);
}

void TrafficText::btnSaveTraffic_Click()
{
    const QByteArray bytes = (firstLine() + QStringLiteral("\r\n") + text()).toUtf8();
    ExportFile::saveAs(m_dialogs,
        { QStringLiteral("Save Traffic"), QStringLiteral("Text File (*.txt)"), QStringLiteral("txt"),
            QStringLiteral("Unable to save the traffic to %1:\r%2") },
        [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}
