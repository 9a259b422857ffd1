// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>

#include <QStringList>

#include "link/userdialogs.h"

// Message boxes as lines on standard error, for a program without a display. A Yes/No question
// takes the answer given beforehand; file dialogs are never asked for.
class StderrDialogs final : public UserDialogs
{
public:
    explicit StderrDialogs(FILE *out = stderr);

    void setQuestionAnswer(Answer answer) { m_questionAnswer = answer; }
    int count() const { return m_count; }
    // A message's text on one line: its line breaks become single spaces.
    static QString oneLine(const QString &text);

    Answer showMessage(const Message &message) override;
    std::optional<QString> openFileName(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialog &) override { return std::nullopt; }

    // Any other line for standard error (not counted as a message).
    void line(const QString &text);
    // Every line written so far, messages included, for a machine-readable failure.
    const QStringList &told() const { return m_told; }
    // A percentage shown in place, only when standard error is a terminal.
    void progress(const QString &percent);
    void endProgress();

private:
    FILE *m_out;
    bool m_terminal = false;
    bool m_progressShown = false;
    Answer m_questionAnswer = Answer::No;
    int m_count = 0;
    QStringList m_told;
};
