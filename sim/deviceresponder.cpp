// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceresponder.h"

#include "link/values.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Inserts '?' after the letter: every check of the utility then finds a non-numeric value.
QByteArray garbled(const QByteArray &body)
{
    int k = 0;
    while (k < body.size() && isDigit(body[k]))
        ++k;
    QByteArray out = body;
    out.insert(std::min<int>(k + 1, int(out.size())), '?');
    return out;
}

QByteArray otherCode(const QByteArray &body)
{
    int k = 0;
    while (k < body.size() && isDigit(body[k]))
        ++k;
    if (k > 0)
        return QByteArray::number(body.left(k).toInt() + 1) + body.mid(k);
    static const char swap[][2] = { { 'W', 'F' }, { 'F', 'W' }, { 'V', 'I' }, { 'I', 'V' } };
    QByteArray out = body;
    for (const auto &s : swap) {
        if (!out.isEmpty() && out[0] == s[0]) {
            out[0] = s[1];
            break;
        }
    }
    return out;
}

// True when the command addresses the item the --error or --ignore option names (codes compare by number).
bool addresses(const QByteArray &body, const QString &item)
{
    int k = 0;
    while (k < body.size() && isDigit(body[k]))
        ++k;
    if (k == 0)
        return !body.isEmpty() && item == QString(QLatin1Char(body[0]));
    return body.left(k).toInt() == item.toInt() && !item.isEmpty() && isDigit(item.at(0).toLatin1());
}

} // namespace

DeviceResponder::DeviceResponder(const SimOptions &options)
    : m_options(options)
    , m_random(options.seed)
{
    ConfigRanges ranges;
    if (!options.configPath.isEmpty() && !ranges.read(options.configPath, &m_setupError))
        m_setupError = QStringLiteral("cannot read %1: %2").arg(options.configPath, m_setupError);
    const auto family = DeviceModel::familyFromName(options.family).value_or(DeviceModel::Family::Dravion);
    m_model = std::make_unique<DeviceModel>(family, ranges);
    if (!options.version.isEmpty())
        m_model->setVersion(options.version);
    m_model->setOutputType(options.outputType);
    m_model->setStatePath(options.statePath);
    m_model->setFrequencyJitter(options.jitterHz, options.seed);
    m_model->loadState();
}

DeviceResponder::Response DeviceResponder::respond(const QByteArray &frame)
{
    Response r;
    if (m_options.vanishAfter >= 0 && m_answered >= m_options.vanishAfter) {
        r.vanish = true;
        r.fault = QStringLiteral("vanish");
        return r;
    }
    ++m_answered;
    if (m_options.silent) {
        r.fault = QStringLiteral("silent");
        return r;
    }
    const QByteArray body = frame.mid(1, frame.size() - 2);
    if (!m_options.ignoreItem.isEmpty() && addresses(body, m_options.ignoreItem)) {
        r.fault = QStringLiteral("ignore");
        return r;
    }
    QByteArray reply;
    if (m_options.errorCode > 0 && addresses(body, m_options.errorItem))
        reply = "E" + QByteArray::number(m_options.errorCode);
    else
        reply = m_model->answer(body);

    const double faults = m_options.drop + m_options.garble + m_options.wrongCode + m_options.delay;
    if (faults > 0) {
        const double u = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
        double edge = m_options.drop;
        if (u < edge) {
            r.fault = QStringLiteral("drop");
            return r;
        }
        if (u < (edge += m_options.garble)) {
            r.fault = QStringLiteral("garble");
            reply = garbled(reply);
        } else if (u < (edge += m_options.wrongCode)) {
            r.fault = QStringLiteral("wrong-code");
            reply = otherCode(reply);
        } else if (u < (edge += m_options.delay)) {
            r.fault = QStringLiteral("delay");
            r.delayMs = m_options.delayMs;
        }
    }
    r.frame = '\x02' + reply + '\x0d';
    return r;
}
