// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "trafficecho.h"

// How the traffic echo shows characters: bracketed names of control characters or hex pairs.
namespace EchoFormat {

// "<STX>" for 2, "<DEL>" for 127, empty for printable characters.
QString controlName(uchar code);

// One character as the monitor shows it in the given mode ("<CR>", "A", "0D ", or nothing).
QString character(uchar code, TrafficEcho::Mode mode);

// A whole text, character by character; the text holds 8-bit characters (Latin-1).
QString text(const QString &latin1, TrafficEcho::Mode mode);

} // namespace EchoFormat
