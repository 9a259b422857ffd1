// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <random>

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include "configranges.h"

// The simulated device: the item table of a family, its ranges and the answers to command bodies.
class DeviceModel final
{
public:
    enum class Family { Dravion, MR };

    struct Item
    {
        char letter = 'i';
        double value = 0.0;
        ConfigRanges::Range limits; // used when the configuration names no range
    };

    explicit DeviceModel(Family family = Family::Dravion, ConfigRanges ranges = {});

    static std::optional<Family> familyFromName(const QString &name);

    void setVersion(const QString &version) { m_version = version; }
    QString version() const { return m_version; }
    void setOutputType(int type) { m_outputType = type; }
    void setStatePath(const QString &path) { m_statePath = path; }
    void setFrequencyJitter(double hz, quint32 seed)
    {
        m_jitterHz = hz;
        m_jitterRandom.seed(seed);
    }

    bool loadState();
    bool saveState() const;

    // The reply body (unframed) to a command body: item value, plain answer or "E1x".
    QByteArray answer(const QByteArray &body);

    bool hasItem(int code) const { return m_items.count(code) != 0; }
    double value(int code) const;
    void setValue(int code, double value);
    int stores() const { return m_stores; }

private:
    QByteArray answerItem(int code, char letter, const QByteArray &valueText, bool isWrite);
    ConfigRanges::Range limitsOf(int code) const;
    static QByteArray text(const Item &item);

    Family m_family;
    ConfigRanges m_ranges;
    std::map<int, Item> m_items;
    QString m_version;
    int m_outputType = 0;
    QString m_statePath;
    int m_realWrites = 0;
    int m_stores = 0;
    QElapsedTimer m_clock;
    double m_jitterHz = 0.0;
    std::mt19937 m_jitterRandom; // apart from the fault draws, so a seed injects the same faults
};
