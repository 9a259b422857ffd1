// SPDX-License-Identifier: GPL-3.0-or-later
#include "stderrdialogs.h"

#include <QRegularExpression>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace {

bool isTerminal(FILE *out)
{
#ifdef Q_OS_UNIX
    return isatty(fileno(out)) == 1;
#elif defined(Q_OS_WIN)
    return _isatty(_fileno(out)) != 0;
#else
    Q_UNUSED(out);
    return false; // no progress counter where a terminal cannot be told
#endif
}

} // namespace

StderrDialogs::StderrDialogs(FILE *out)
    : m_out(out)
    , m_terminal(isTerminal(out))
{
}

void StderrDialogs::progress(const QString &percent)
{
    if (!m_terminal)
        return;
    std::fprintf(m_out, "\r%5s", percent.toLatin1().constData());
    std::fflush(m_out);
    m_progressShown = true;
}

void StderrDialogs::endProgress()
{
    if (m_progressShown)
        std::fputc('\n', m_out);
    m_progressShown = false;
}

QString StderrDialogs::oneLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    QStringList parts = text.split(breaks, Qt::SkipEmptyParts);
    for (QString &part : parts)
        part = part.trimmed();
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

UserDialogs::Answer StderrDialogs::showMessage(const Message &message)
{
    ++m_count;
    QString text = oneLine(message.text);
    Answer answer = Answer::Ok;
    if (message.buttons == Buttons::YesNo) {
        answer = m_questionAnswer;
        text += answer == Answer::Yes ? QStringLiteral(" Yes") : QStringLiteral(" No");
    }
    line(text);
    return answer;
}

void StderrDialogs::line(const QString &text)
{
    endProgress();
    m_told << text;
    std::fputs(text.toLocal8Bit().constData(), m_out);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}
