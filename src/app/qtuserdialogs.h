// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "link/userdialogs.h"

// UserDialogs on real QMessageBox and QFileDialog windows, modal over the current main window.
class QtUserDialogs final : public UserDialogs
{
public:
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    Answer showMessage(const Message &message) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;

private:
    QPointer<QWidget> m_parent;
};
