// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitlog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "qrxcli.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// QJsonObject sorts its members; a record reads best in its own order, so it is joined by hand.
QByteArray member(const char *key, const QJsonValue &value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
    return '"' + QByteArray(key) + "\":" + wrapped.mid(1, wrapped.size() - 2);
}

QString openAppending(const QString &path, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    // O_APPEND: the kernel places each write at the end, whoever else is writing.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    QString error;
    if (!bytes.isEmpty()) {
        ssize_t written = -1;
        do
            written = ::write(fd, bytes.constData(), size_t(bytes.size()));
        while (written < 0 && errno == EINTR);
        if (written != ssize_t(bytes.size()))
            error = written < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("disk full");
    }
    if (::close(fd) != 0 && error.isEmpty())
        error = QString::fromLocal8Bit(std::strerror(errno));
    return error;
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    if (!bytes.isEmpty() && (file.write(bytes) != bytes.size() || !file.flush()))
        return file.errorString();
    return QString();
#endif
}

} // namespace

QString UnitLog::resultName(const QString &command, int status, bool portFailed)
{
    switch (status) {
    case QrxCli::Success:
        return QStringLiteral("success");
    case QrxCli::Differences:
        return command == QLatin1String("download") ? QStringLiteral("verifyFailed")
                                                    : QStringLiteral("differences");
    case QrxCli::UsageOrFile:
        return QStringLiteral("fileError");
    case QrxCli::Communication:
        return portFailed ? QStringLiteral("portError") : QStringLiteral("noResponse");
    case QrxCli::Refused:
        return QStringLiteral("deviceError");
    case QrxCli::Interrupted:
        return QStringLiteral("interrupted");
    default:
        return QStringLiteral("crashed");
    }
}

QString UnitLog::checkWritable(const QString &path)
{
    return openAppending(path, QByteArray());
}

QString UnitLog::append(const QString &path, const Record &record)
{
    return openAppending(path, line(record) + '\n');
}

QByteArray UnitLog::line(const Record &r)
{
    QJsonValue differences;
    if (r.differences) {
        QJsonArray list;
        for (const auto &row : *r.differences)
            list.append(QJsonObject { { QStringLiteral("name"), row.parameter },
                { QStringLiteral("file"), row.left }, { QStringLiteral("device"), row.right } });
        differences = list;
    }
    const QList<QByteArray> members { member("time", r.time.toUTC().toString(Qt::ISODateWithMs)),
        member("command", r.command), member("port", textOrNull(r.port)),
        member("portId", textOrNull(r.portId)), member("family", textOrNull(r.family)),
        member("deviceVersion", textOrNull(r.deviceVersion)), member("file", textOrNull(r.file)),
        member("sha256", textOrNull(QString::fromLatin1(r.sha256))), member("result", r.result),
        member("exitStatus", r.exitStatus), member("durationMs", r.durationMs),
        member("differences", differences), member("message", r.message) };
    return '{' + members.join(',') + '}';
}

std::optional<UnitLog::Record> UnitLog::parse(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    Record r;
    r.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    r.command = o.value(QStringLiteral("command")).toString();
    r.port = o.value(QStringLiteral("port")).toString();
    r.portId = o.value(QStringLiteral("portId")).toString();
    r.family = o.value(QStringLiteral("family")).toString();
    r.deviceVersion = o.value(QStringLiteral("deviceVersion")).toString();
    r.file = o.value(QStringLiteral("file")).toString();
    r.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
    r.result = o.value(QStringLiteral("result")).toString();
    r.exitStatus = o.value(QStringLiteral("exitStatus")).toInt();
    r.durationMs = qint64(o.value(QStringLiteral("durationMs")).toDouble());
    r.message = o.value(QStringLiteral("message")).toString();
    if (o.value(QStringLiteral("differences")).isArray()) {
        std::vector<SetupComparison::Row> rows;
        for (const QJsonValue &v : o.value(QStringLiteral("differences")).toArray())
            rows.push_back({ v[QStringLiteral("name")].toString(), v[QStringLiteral("file")].toString(),
                v[QStringLiteral("device")].toString() });
        r.differences = std::move(rows);
    }
    if (r.result.isEmpty())
        return std::nullopt;
    return r;
}
