// SPDX-License-Identifier: GPL-3.0-or-later
#include "setuphistory.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/datafilewriter.h"
#include "link/atomicfile.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"

namespace {

const QString stampFormat = QStringLiteral("yyyy-MM-dd_HHmmss");

const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{6})_(read|download|unsaved|backup)_([A-Za-z0-9]+)(?:-([2-"
                       "9]|[1-9]\\d+))?\\.dat$"));
    return pattern;
}

bool olderFirst(const SetupHistory::Entry &a, const SetupHistory::Entry &b)
{
    if (a.stamp != b.stamp)
        return a.stamp < b.stamp;
    return a.sequence < b.sequence;
}

} // namespace

SetupHistory::SetupHistory(QString folder, int capacity)
    : m_folder(std::move(folder))
    , m_capacity(capacity)
{
}

QString SetupHistory::defaultFolder()
{
    // The command line runs under a name of its own, but keeps its setups where the window does.
    const QString own = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("QRX Programming Utility"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(own);
    return QDir(data).filePath(QStringLiteral("history"));
}

QString SetupHistory::whatName(What what)
{
    switch (what) {
    case What::Read:
        return QStringLiteral("read");
    case What::Download:
        return QStringLiteral("download");
    case What::Unsaved:
        return QStringLiteral("unsaved");
    case What::Backup:
        return QStringLiteral("backup");
    }
    return QString();
}

QString SetupHistory::safePort(const QString &port)
{
    QString last = port.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
    QString safe;
    for (const QChar c : last) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            safe += c;
    }
    return safe.isEmpty() ? QStringLiteral("port") : safe;
}

QString SetupHistory::fileName(const QDateTime &when, What what, const QString &port, int sequence)
{
    QString name
        = when.toString(stampFormat) + QLatin1Char('_') + whatName(what) + QLatin1Char('_') + safePort(port);
    if (sequence > 1)
        name += QLatin1Char('-') + QString::number(sequence);
    return name + QStringLiteral(".dat");
}

std::optional<SetupHistory::Entry> SetupHistory::parseName(const QString &fileName)
{
    const QRegularExpressionMatch match = namePattern().match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    Entry entry;
    // By its numbers: a history of hundreds is read on every keep.
    const QString stamp = match.captured(1);
    const auto number
        = [&stamp](int from, int length) { return QStringView(stamp).mid(from, length).toInt(); };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(13, 2), number(15, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    entry.when = QDateTime(date, time);
    entry.stamp = stamp;
    const QString what = match.captured(2);
    for (What w : { What::Read, What::Download, What::Unsaved, What::Backup }) {
        if (whatName(w) == what)
            entry.what = w;
    }
    entry.port = match.captured(3);
    entry.sequence = match.captured(4).isEmpty() ? 1 : match.captured(4).toInt();
    return entry;
}

std::vector<SetupHistory::Entry> SetupHistory::kept() const
{
    std::vector<Entry> list;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({ QStringLiteral("*.dat") }, QDir::Files)) {
        if (std::optional<Entry> entry = parseName(name)) {
            entry->path = dir.filePath(name);
            list.push_back(*entry);
        }
    }
    std::sort(list.begin(), list.end(), olderFirst);
    return list;
}

SetupHistory::Kept SetupHistory::keep(
    const QByteArray &bytes, What what, const QString &port, const QDateTime &when)
{
    Kept result;
    if (!QDir().mkpath(m_folder)) {
        result.error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(m_folder));
        return result;
    }
    // Unique within the second whatever was kept then, so the order of a second's setups is kept too.
    const QString second = when.toString(stampFormat);
    std::vector<Entry> list = kept();
    int sequence = 1;
    for (const Entry &e : list) {
        if (e.stamp == second)
            sequence = std::max(sequence, e.sequence + 1);
    }
    const QString path = QDir(m_folder).filePath(fileName(when, what, port, sequence));
    if (QFile::exists(path)) {
        result.error = QStringLiteral("%1 exists").arg(QDir::toNativeSeparators(path));
        return result;
    }
    const QString error = AtomicFile::write(path, bytes);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    result.path = path;
    if (m_capacity > 0) {
        Entry added = *parseName(QFileInfo(path).fileName());
        added.path = path;
        list.insert(std::upper_bound(list.begin(), list.end(), added, olderFirst), added);
        for (size_t i = 0; i + size_t(m_capacity) < list.size(); ++i)
            QFile::remove(list[i].path);
    }
    return result;
}

std::vector<SetupHistory::Entry> SetupHistory::entries(const DeviceFamily &family) const
{
    const Parameter *factor = family.parameters.find(QStringLiteral("txtKfactor"));
    if (!factor)
        factor = family.parameters.find(QStringLiteral("txtScaleFactor"));
    const double pointsCode = family.parameters.linearPts().code;
    std::vector<Entry> list = kept();
    std::reverse(list.begin(), list.end());
    for (Entry &e : list) {
        const std::optional<QByteArray> bytes = DataFileReader::load(e.path);
        if (!bytes)
            continue;
        for (const DataFileReader::Line &line :
            DataFileReader::parse(*bytes, DataFileFormat::userDecimalPoint())) {
            if (!line.isEntry || !line.sound || line.name.isEmpty())
                continue;
            const double code = DataFileReader::code(line.name);
            if (factor && code == factor->code)
                e.factor = line.value.trimmed();
            else if (code == pointsCode)
                e.points = line.value.trimmed();
        }
    }
    return list;
}

QString SetupHistory::remove(const QString &path) const
{
    QFile file(path);
    if (file.remove())
        return QString();
    return file.errorString();
}

std::optional<QByteArray> SetupHistory::bytesOf(const SetupModel &setup)
{
    const auto entries = DataFileWriter::entriesOf(setup);
    if (!entries)
        return std::nullopt;
    return DataFileWriter::toBytes(*entries);
}
