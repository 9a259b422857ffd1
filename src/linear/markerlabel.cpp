// SPDX-License-Identifier: GPL-3.0-or-later
#include "markerlabel.h"

MarkerLabel::MarkerLabel(QWidget *parent)
    : QLabel(QStringLiteral("!"), parent)
{
    setFont(markerFont());
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    setPalette(p);
    setMinimumWidth(12);
    hide();
}

QFont MarkerLabel::markerFont()
{
    QFont font(QStringLiteral("Dutch801 XBd BT"));
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    font.setPointSize(18);
    return font;
}
