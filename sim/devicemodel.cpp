// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicemodel.h"

#include <cmath>

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include "link/values.h"

namespace {

struct Default
{
    int code;
    char letter;
    double value;
    double minimum;
    double maximum;
};

// Plausible factory settings; the configuration file's ranges take precedence.
const Default dravionItems[] = {
    { 3, 'i', 1, 0, 7 },
    { 4, 'i', 1, 0, 3 },
    { 7, 'f', 1, 0.1, 3 },
    { 8, 'i', 0, 0, 1 },
    { 9, 'f', 1000, 0.001, 99999 },
    { 11, 'i', 5, 0, 99 },
    { 13, 'i', 800, 0, 4095 },
    { 14, 'i', 4000, 0, 4095 },
    { 15, 'f', 0, 0, 99999 },
    { 16, 'f', 100, 0, 99999 },
    { 99, 'f', 0, 0, 100 },
    { 100, 'i', 0, 0, 10 },
};
const Default mrItems[] = {
    { 1, 'i', 0, 0, 3 },
    { 2, 'i', 0, 0, 7 },
    { 3, 'i', 0, 0, 3 },
    { 4, 'i', 0, 0, 7 },
    { 5, 'i', 0, 0, 3 },
    { 6, 'f', 1, 0.1, 3 },
    { 7, 'f', 1, 0.001, 99999 },
    { 8, 'i', 0, 0, 3 },
    { 9, 'f', 0, -100, 100 },
    { 10, 'f', 0, -100, 100 },
    { 11, 'f', 0, -100, 100 },
    { 12, 'f', 0.025, 0, 100 },
    { 13, 'i', 5, 0, 99 },
    { 14, 'i', 0, 0, 2 },
    { 15, 'i', 800, 0, 4095 },
    { 16, 'i', 4000, 0, 4095 },
    { 17, 'f', 0, 0, 99999 },
    { 18, 'f', 100, 0, 99999 },
    { 19, 'i', 0, 0, 9999 },
    { 99, 'f', 0, 0, 100 },
    { 100, 'i', 0, 0, 10 },
};

QByteArray error(int number)
{
    return "E" + QByteArray::number(number);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

DeviceModel::DeviceModel(Family family, ConfigRanges ranges)
    : m_family(family)
    , m_ranges(std::move(ranges))
    , m_version(m_ranges.version().isEmpty() ? QStringLiteral("1.00") : m_ranges.version())
{
    auto add = [this](const auto &table) {
        for (const Default &d : table)
            m_items[d.code] = Item { d.letter, d.value, { d.minimum, d.maximum } };
    };
    if (family == Family::Dravion)
        add(dravionItems);
    else
        add(mrItems);
    for (int i = 0; i < 10; ++i) {
        m_items[101 + 2 * i] = Item { 'i', 0, { 0, 32767 } };
        m_items[102 + 2 * i] = Item { 'f', 0, { -99999, 99999 } };
    }
    m_clock.start();
}

std::optional<DeviceModel::Family> DeviceModel::familyFromName(const QString &name)
{
    if (name == QLatin1String("Dravion"))
        return Family::Dravion;
    if (name == QLatin1String("MR"))
        return Family::MR;
    return std::nullopt;
}

double DeviceModel::value(int code) const
{
    const auto it = m_items.find(code);
    return it == m_items.end() ? 0.0 : it->second.value;
}

void DeviceModel::setValue(int code, double value)
{
    const auto it = m_items.find(code);
    if (it != m_items.end())
        it->second.value = value;
}

ConfigRanges::Range DeviceModel::limitsOf(int code) const
{
    // The Dravion K factor has one range per K factor unit.
    const int pair = (m_family == Family::Dravion && code == 9) ? int(value(8)) : 0;
    if (const ConfigRanges::Range *r = m_ranges.range(code, pair))
        return *r;
    return m_items.at(code).limits;
}

QByteArray DeviceModel::text(const Item &item)
{
    if (item.letter == 'i')
        return QByteArray::number(qint64(item.value));
    return Values::FormatSingle(float(item.value)).toLatin1();
}

QByteArray DeviceModel::answer(const QByteArray &body)
{
    if (body.isEmpty())
        return error(15);
    if (!isDigit(body[0])) {
        const char c = body[0];
        const bool known = c == 'W' || c == 'F' || c == 'V' || c == 'I';
        if (!known)
            return error(10);
        if (body.size() != 1)
            return error(15);
        switch (c) {
        case 'W':
            ++m_stores;
            saveState();
            return "W";
        case 'V':
            return "V" + m_version.toLatin1();
        case 'I':
            return "I" + QByteArray::number(m_outputType);
        default: {
            // A slowly drifting input frequency, one cycle a minute.
            const double t = m_clock.elapsed() / 1000.0;
            double hz = 250.0 + 50.0 * std::sin(t * 2 * M_PI / 60.0);
            if (m_jitterHz > 0)
                hz += std::uniform_real_distribution<double>(-m_jitterHz, m_jitterHz)(m_jitterRandom);
            return "F" + QByteArray::number(hz, 'f', 1);
        }
        }
    }
    int k = 0;
    while (k < body.size() && isDigit(body[k]))
        ++k;
    if (k == body.size())
        return error(15);
    const int code = body.left(k).toInt();
    const char letter = body[k];
    const QByteArray valueText = body.mid(k + 1);
    return answerItem(code, letter, valueText, !valueText.isEmpty());
}

QByteArray DeviceModel::answerItem(int code, char letter, const QByteArray &valueText, bool isWrite)
{
    const auto it = m_items.find(code);
    if (it == m_items.end())
        return error(11);
    Item &item = it->second;
    if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z')))
        return error(15);
    if (letter != item.letter)
        return error(12);
    const QByteArray codeText = QByteArray::number(code);
    if (!isWrite)
        return codeText + item.letter + text(item);

    const QString v = QString::fromLatin1(valueText);
    if (!Values::IsNumeric(v))
        return error(15);
    double number = Values::Val(v);
    if (item.letter == 'i')
        number = std::nearbyint(number);
    const ConfigRanges::Range limits = limitsOf(code);
    if (number < limits.minimum)
        return error(13);
    if (number > limits.maximum)
        return error(14);
    item.value = item.letter == 'f' ? double(float(number)) : number;
    // Every other real write echoes a longer text of the same number (2.500 for 2.5).
    if (item.letter == 'f' && (m_realWrites++ % 2) == 1)
        return codeText + item.letter + QByteArray::number(item.value, 'f', 3);
    return codeText + item.letter + text(item);
}

bool DeviceModel::loadState()
{
    if (m_statePath.isEmpty())
        return false;
    QFile file(m_statePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const int eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        bool ok = false;
        const int code = line.left(eq).toInt(&ok);
        if (ok && hasItem(code))
            setValue(code, Values::Val(QString::fromLatin1(line.mid(eq + 1))));
    }
    return true;
}

bool DeviceModel::saveState() const
{
    if (m_statePath.isEmpty())
        return false;
    QSaveFile file(m_statePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const auto &[code, item] : m_items)
        file.write(QByteArray::number(code) + "=" + text(item) + "\n");
    return file.commit();
}
