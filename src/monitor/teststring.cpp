// SPDX-License-Identifier: GPL-3.0-or-later
#include "teststring.h"

#include "link/echoformat.h"

namespace TestString {

namespace {
    constexpr int FirstCode = 0;
    constexpr int LastCode = 31; // the picker offers the control characters; the rest can be typed
} // namespace

QStringList pickerEntries()
{
    QStringList entries { QStringLiteral("0 - NUL") };
    for (int code = FirstCode; code <= LastCode; ++code) {
        QString name = EchoFormat::controlName(uchar(code));
        name = name.mid(1, name.size() - 2); // "<STX>" -> "STX"
        entries << QStringLiteral("%1 - %2 (code %3)").arg(code + 1).arg(name).arg(code);
    }
    return entries;
}

QString pickerInsertion(int index)
{
    if (index < 1 || index > LastCode - FirstCode + 1)
        return QString();
    return QString(QChar(ushort(FirstCode + index - 1)));
}

QString compose(const QString &typed, bool autoStx, bool autoCr)
{
    QString text = QString::fromLatin1(typed.toLatin1());
    if (autoStx)
        text.prepend(QChar(ushort(2)));
    if (autoCr)
        text.append(QChar(ushort(13)));
    return text;
}

} // namespace TestString
