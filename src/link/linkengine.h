#pragma once

#include <QObject>

// Placeholder until the link lands; the link owner replaces this file.
class LinkEngine : public QObject
{
    Q_OBJECT

public:
    void SendCommand(bool NoWait = false);
    void selectPort(int index);
    int portNumber() const;
    bool exchangeOutstanding() const;

Q_SIGNALS:
    void statusTextChanged(const QString &text);
    void exchangeFinished();
};
