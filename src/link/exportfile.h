// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

class QIODevice;
class UserDialogs;

// The Save prompt of an export (traffic, readings, an image): asks where, with an overwrite prompt,
// writes there whole or not at all, and tells a failure in a box. Cancelling does nothing.
namespace ExportFile {

struct Prompt
{
    QString title;
    QString filter; // Qt form, e.g. "CSV File (*.csv)"
    QString defaultSuffix;
    QString failure; // %1 the path, %2 what went wrong
};

// True when the file was written. `fill` writes the content and says whether it could.
bool saveAs(UserDialogs &dialogs, const Prompt &prompt, const std::function<bool(QIODevice &)> &fill);

} // namespace ExportFile
