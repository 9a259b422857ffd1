// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtuserdialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQt(UserDialogs::Icon icon)
{
    switch (icon) {
    case UserDialogs::Icon::Critical:
        return QMessageBox::Critical;
    case UserDialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case UserDialogs::Icon::Information:
        return QMessageBox::Information;
    case UserDialogs::Icon::Question:
        return QMessageBox::Question;
    case UserDialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The device texts separate their lines with a lone CR, which a Qt label would not break on.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::optional<QString> runFileDialog(
    QWidget *parent, const UserDialogs::FileDialog &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(
        QFileDialog::AnyFile); // open too: a typed name of a missing file is reported, not refused
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

UserDialogs::Answer QtUserDialogs::showMessage(const Message &message)
{
    QMessageBox box(toQt(message.icon), message.title, displayText(message.text),
        message.buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_parent);
    const int result = box.exec();
    if (message.buttons == Buttons::YesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

std::optional<QString> QtUserDialogs::openFileName(const FileDialog &dialog)
{
    return runFileDialog(m_parent, dialog, QFileDialog::AcceptOpen);
}

std::optional<QString> QtUserDialogs::saveFileName(const FileDialog &dialog)
{
    return runFileDialog(m_parent, dialog, QFileDialog::AcceptSave);
}
