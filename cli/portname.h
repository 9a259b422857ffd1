// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the command line makes of a --port text: the device path, the device it names, a form fit
// for a file name, and the stable /dev/serial/by-id/ name of an adapter.
namespace PortName {

// The device path as the window would take it: "Com n" through the per-user settings, empty for
// the remembered port, any other text as it is.
QString path(const QString &port);
// The device behind the path (links followed), so two spellings of one port compare equal.
QString device(const QString &port);
// "Com 2" -> "Com2", "/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts_3", "/tmp/qrx-a" -> "qrx-a".
QString fileSafe(const QString &port);
// A data file's name for one port: "{port}" becomes the port's file-safe form.
QString fileFor(const QString &file, const QString &port);
// The name in /dev/serial/by-id/ whose link points at the port; empty when none does.
QString byId(const QString &port);

} // namespace PortName
