// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportfile.h"

#include "link/atomicfile.h"
#include "link/userdialogs.h"

namespace ExportFile {

bool saveAs(UserDialogs &dialogs, const Prompt &prompt, const std::function<bool(QIODevice &)> &fill)
{
    UserDialogs::FileDialog dialog;
    dialog.title = prompt.title;
    dialog.filter = prompt.filter;
    dialog.defaultSuffix = prompt.defaultSuffix;
    dialog.overwritePrompt = true;
    const std::optional<QString> path = dialogs.saveFileName(dialog);
    if (!path)
        return false;
    const QString error = AtomicFile::write(*path, fill);
    if (error.isEmpty())
        return true;
    dialogs.message(prompt.failure.arg(*path, error), UserDialogs::Icon::Critical);
    return false;
}

} // namespace ExportFile
