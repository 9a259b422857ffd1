// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafileloader.h"

#include <QComboBox>
#include <QLineEdit>

#include "datafile/datafileformat.h"
#include "link/userdialogs.h"
#include "params/devicefamily.h"

DataFileLoader::DataFileLoader(UserDialogs &dialogs, const DeviceFamily &family, QWidget &mainWindow,
    std::function<QWidget *()> linearPointsWindow)
    : m_dialogs(dialogs)
    , m_family(family)
    , m_mainWindow(mainWindow)
    , m_linearPointsWindow(std::move(linearPointsWindow))
{
}

DataFileLoader::Outcome DataFileLoader::apply(const std::vector<DataFileReader::Line> &lines)
{
    for (const DataFileReader::Line &line : lines) {
        // Lines without "=" are the header or stray text; they carry nothing to apply.
        if (!line.isEntry)
            continue;
        if (!line.sound) {
            const auto answer = m_dialogs.message(QStringLiteral("Corrupt Data File!  Continue loading?"),
                UserDialogs::Icon::None, QStringLiteral("ERROR"), UserDialogs::Buttons::YesNo);
            if (answer != UserDialogs::Answer::Yes)
                return Outcome::Stopped;
            continue;
        }
        const auto target = DataFileTargets::lookup(m_family.parameters, DataFileReader::code(line.name));
        if (target && !applyEntry(*target, line.value))
            return Outcome::Failed;
    }
    return Outcome::Loaded;
}

bool DataFileLoader::applyEntry(const DataFileTargets::Target &target, const QString &value)
{
    using DataFileTargets::Kind;
    const QChar point = DataFileFormat::userDecimalPoint();
    switch (target.kind) {
    case Kind::Selection: {
        auto *list = m_mainWindow.findChild<QComboBox *>(target.control);
        if (!list)
            return true;
        const auto index = DataFileReader::selectionIndex(value, list->count(), point);
        if (!index)
            return false;
        list->setCurrentIndex(*index);
        return true;
    }
    case Kind::Text:
    case Kind::Password:
        if (auto *field = m_mainWindow.findChild<QLineEdit *>(target.control)) {
            field->setText(target.kind == Kind::Password ? DataFileReader::passwordText(value, point)
                                                         : DataFileReader::fieldText(value, point));
        }
        return true;
    case Kind::PointFrequency:
    case Kind::PointCoefficient: {
        // The linear points window is created by its first point entry, and stays hidden.
        QWidget *points = m_linearPointsWindow ? m_linearPointsWindow() : nullptr;
        if (auto *field = points ? points->findChild<QLineEdit *>(target.control) : nullptr)
            field->setText(DataFileReader::fieldText(value, point));
        return true;
    }
    }
    return true;
}
