// SPDX-License-Identifier: GPL-3.0-or-later
#include "modelloader.h"

#include "datafile/datafileformat.h"
#include "datafile/datafiletargets.h"
#include "link/userdialogs.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"

namespace ModelLoader {

Outcome apply(SetupModel &model, const std::vector<DataFileReader::Line> &lines, UserDialogs &dialogs)
{
    using DataFileTargets::Kind;
    const QChar point = DataFileFormat::userDecimalPoint();
    const ParameterSet &set = model.family().parameters;
    for (const DataFileReader::Line &line : lines) {
        if (!line.isEntry)
            continue;
        if (!line.sound) {
            const auto answer = dialogs.message(QStringLiteral("Corrupt Data File!  Continue loading?"),
                UserDialogs::Icon::None, QStringLiteral("ERROR"), UserDialogs::Buttons::YesNo);
            if (answer != UserDialogs::Answer::Yes)
                return Outcome::Stopped;
            continue;
        }
        const auto target = DataFileTargets::lookup(set, DataFileReader::code(line.name));
        if (!target)
            continue;
        switch (target->kind) {
        case Kind::Selection:
            if (const Parameter *p = set.find(target->control)) {
                const auto index = DataFileReader::selectionIndex(line.value, model.listCount(*p), point);
                if (!index)
                    return Outcome::Failed;
                model.setListPosition(*p, *index);
            }
            break;
        case Kind::Text:
        case Kind::Password:
            if (const Parameter *p = set.find(target->control)) {
                model.setText(*p,
                    target->kind == Kind::Password ? DataFileReader::passwordText(line.value, point)
                                                   : DataFileReader::fieldText(line.value, point));
            }
            break;
        case Kind::PointFrequency:
        case Kind::PointCoefficient:
            model.setPointText(target->row, target->kind == Kind::PointFrequency ? 0 : 1,
                DataFileReader::fieldText(line.value, point));
            break;
        }
    }
    return Outcome::Loaded;
}

} // namespace ModelLoader
