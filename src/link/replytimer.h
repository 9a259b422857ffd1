// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The 500 ms reply timer, abstract so tests can fire it by hand.
class ReplyTimer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0; // (re)starts the full interval
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void expired();
};
