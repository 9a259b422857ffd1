#include "mrtransfer.h"

#include <stdexcept>

#include <QComboBox>
#include <QLineEdit>

#include "datafile/datafilereader.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "mr/frmmr.h"
#include "mr/mrfields.h"
#include "mr/mrparameters.h"
#include "transfer/itemcommands.h"
#include "transfer/setuptransfer.h"

namespace MrTransfer {

namespace {

QString readCommand(const MrParameter &p, const DeviceState &s)
{
    return p.kind == MrParameter::Kind::Real ? ItemCommands::read(s.*p.realRecord) : ItemCommands::read(s.*p.intRecord);
}

QString writeCommand(const MrParameter &p, const DeviceState &s)
{
    if (p.kind == MrParameter::Kind::Real)
        return ItemCommands::write(s.*p.realRecord);
    const IntItem &item = s.*p.intRecord;
    // The device takes its password only under a four-digit item code.
    if (p.password)
        return QString::number(item.code).rightJustified(4, QLatin1Char('0')) + item.typeLetter
               + Values::FormatInt(item.value);
    return ItemCommands::write(item);
}

} // namespace

void readItems(SetupTransfer &transfer, frmMR &window)
{
    DeviceState &s = window.context().state;
    MrControls &c = window.controls();
    for (const MrParameter &p : MrParameters::table()) {
        // Rate Units and Meter Type, read before, decide through their handlers what is greyed.
        if (!window.fields().isActive(p))
            continue;
        transfer.send(readCommand(p, s));
        transfer.stepProgress();
        if (p.kind == MrParameter::Kind::List) {
            if (!transfer.answered())
                continue;
            SetupTransfer::tolerant([&] {
                QComboBox *list = c.*p.list;
                const qint16 position = Values::CInt(Values::Val(s.ReplyValue));
                // -1 clears the selection; a position the list does not have is refused.
                if (position < -1 || position >= list->count())
                    throw std::out_of_range("list position");
                list->setCurrentIndex(position);
            });
            continue;
        }
        SetupTransfer::tolerant([&] {
            const QString text = p.password ? DataFileReader::passwordText(s.ReplyValue, QLatin1Char('.'))
                                            : s.ReplyValue;
            (c.*p.text)->setText(text);
        });
    }
}

void downloadItems(SetupTransfer &transfer, frmMR &window)
{
    DeviceState &s = window.context().state;
    for (const MrParameter &p : MrParameters::table()) {
        if (!window.fields().isActive(p))
            continue;
        transfer.send(writeCommand(p, s));
        // After the number of points the bar may already be full: nothing else follows.
        if (p.intRecord == &DeviceState::LinearPtsItem && !(transfer.linearPtsNumber() > 0))
            transfer.setFull();
        else
            transfer.StepProgress(false);
    }
}

} // namespace MrTransfer
