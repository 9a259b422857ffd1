// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "datafile/datafilereader.h"

class SetupModel;
class UserDialogs;

// Puts the entries of a setup data file into a setup model as Open puts them into a window:
// the same targets, the same question on a corrupt entry, the same stop on a list index too large.
namespace ModelLoader {

enum class Outcome {
    Loaded, // every line was read
    Stopped, // the answer to the corrupt entry question was not to go on
    Failed, // an entry named an index its list does not have; the rest was not read
};

Outcome apply(SetupModel &model, const std::vector<DataFileReader::Line> &lines, UserDialogs &dialogs);

} // namespace ModelLoader
