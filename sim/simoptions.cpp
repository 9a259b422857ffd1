// SPDX-License-Identifier: GPL-3.0-or-later
#include "simoptions.h"

#include <QCommandLineParser>

namespace {

// The program's options, shared by parsing and the usage text.
struct Parser
{
    QCommandLineParser p;
    QCommandLineOption value(const char *name, const char *description)
    {
        QCommandLineOption o { QLatin1String(name), QLatin1String(description), QStringLiteral("value") };
        p.addOption(o);
        return o;
    }
    QCommandLineOption flag(const char *name, const char *description)
    {
        QCommandLineOption o { QLatin1String(name), QLatin1String(description) };
        p.addOption(o);
        return o;
    }
    const QCommandLineOption family = value("family", "Dravion or MR");
    const QCommandLineOption config = value("config", "configuration file with the item ranges");
    const QCommandLineOption state = value("state", "file the W command stores the items in");
    const QCommandLineOption deviceVersion = value("device-version", "version text answered to V");
    const QCommandLineOption outputType = value("output-type", "output type answered to I");
    const QCommandLineOption latency = value("latency", "reply latency in ms");
    const QCommandLineOption noPacing = flag("no-pacing", "write replies at once instead of at 9600 baud");
    const QCommandLineOption link = value("link", "symlink to create for the pty");
    const QCommandLineOption log = value("log", "traffic log file");
    const QCommandLineOption drop = value("drop", "probability of dropping a reply");
    const QCommandLineOption garble = value("garble", "probability of garbling a reply");
    const QCommandLineOption wrongCode = value("wrong-code", "probability of answering with another code");
    const QCommandLineOption delay = value("delay", "probability of answering late");
    const QCommandLineOption delayMs = value("delay-ms", "how late, in ms (default 700)");
    const QCommandLineOption silent = flag("silent", "never answer");
    const QCommandLineOption errorOpt = value("error", "CODE:ITEM, answer device error CODE for ITEM");
    const QCommandLineOption ignore = value("ignore", "ITEM, never answer commands for ITEM");
    const QCommandLineOption vanish = value("vanish-after", "close the pty when command N+1 arrives");
    const QCommandLineOption jitter = value("jitter", "answer F up to this many Hz off, at random");
    const QCommandLineOption seed = value("seed", "seed of the fault generator");
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();

    Parser() { p.setApplicationDescription(QStringLiteral("Plays a QRX device on a pseudo-terminal.")); }
};

} // namespace

QString SimOptions::usage()
{
    Parser parser;
    return parser.p.helpText();
}

std::optional<SimOptions> SimOptions::parse(const QStringList &arguments, QString *error)
{
    Parser parser;
    QCommandLineParser &p = parser.p;
    if (!p.parse(QStringList { QStringLiteral("qrx-sim") } + arguments)) {
        *error = p.errorText();
        return std::nullopt;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument ") + p.positionalArguments().first();
        return std::nullopt;
    }
    if (p.isSet(parser.help) || p.isSet(parser.version)) {
        SimOptions o;
        o.help = p.isSet(parser.help);
        o.showVersion = !o.help;
        return o;
    }
    SimOptions o;
    bool ok = true;
    const auto number = [&](const QCommandLineOption &opt, auto fallback) {
        if (!p.isSet(opt))
            return fallback;
        bool good = false;
        const double v = p.value(opt).toDouble(&good);
        if (!good) {
            ok = false;
            *error = QStringLiteral("--%1 needs a number").arg(opt.names().first());
        }
        return decltype(fallback)(v);
    };
    o.family = p.isSet(parser.family) ? p.value(parser.family) : o.family;
    if (o.family != QLatin1String("Dravion") && o.family != QLatin1String("MR")) {
        *error = QStringLiteral("--family must be Dravion or MR");
        return std::nullopt;
    }
    o.configPath = p.value(parser.config);
    o.statePath = p.value(parser.state);
    o.version = p.value(parser.deviceVersion);
    o.outputType = number(parser.outputType, 0);
    o.latencyMs = number(parser.latency, 0);
    o.pacing = !p.isSet(parser.noPacing);
    o.linkPath = p.value(parser.link);
    o.logPath = p.value(parser.log);
    o.drop = number(parser.drop, 0.0);
    o.garble = number(parser.garble, 0.0);
    o.wrongCode = number(parser.wrongCode, 0.0);
    o.delay = number(parser.delay, 0.0);
    o.delayMs = number(parser.delayMs, 700);
    o.silent = p.isSet(parser.silent);
    o.ignoreItem = p.value(parser.ignore);
    o.vanishAfter = number(parser.vanish, -1);
    o.seed = number(parser.seed, quint32(1));
    o.jitterHz = number(parser.jitter, 0.0);
    if (o.jitterHz < 0) {
        *error = QStringLiteral("--jitter must not be negative");
        return std::nullopt;
    }
    if (p.isSet(parser.errorOpt)) {
        const QStringList parts = p.value(parser.errorOpt).split(QLatin1Char(':'));
        if (parts.size() != 2 || parts[0].toInt() <= 0 || parts[1].isEmpty()) {
            *error = QStringLiteral("--error needs CODE:ITEM, e.g. 13:11");
            return std::nullopt;
        }
        o.errorCode = parts[0].toInt();
        o.errorItem = parts[1];
    }
    if (!ok)
        return std::nullopt;
    return o;
}

QStringList SimOptions::toArguments() const
{
    QStringList a { QStringLiteral("--family"), family };
    const auto add = [&a](const char *name, const QString &v) {
        if (!v.isEmpty())
            a << QLatin1String(name) << v;
    };
    add("--config", configPath);
    add("--state", statePath);
    add("--device-version", version);
    add("--link", linkPath);
    add("--log", logPath);
    a << QStringLiteral("--output-type") << QString::number(outputType);
    a << QStringLiteral("--latency") << QString::number(latencyMs);
    if (!pacing)
        a << QStringLiteral("--no-pacing");
    a << QStringLiteral("--drop") << QString::number(drop) << QStringLiteral("--garble")
      << QString::number(garble) << QStringLiteral("--wrong-code") << QString::number(wrongCode)
      << QStringLiteral("--delay") << QString::number(delay) << QStringLiteral("--delay-ms")
      << QString::number(delayMs);
    if (silent)
        a << QStringLiteral("--silent");
    if (errorCode > 0)
        a << QStringLiteral("--error") << QStringLiteral("%1:%2").arg(errorCode).arg(errorItem);
    add("--ignore", ignoreItem);
    if (jitterHz > 0)
        a << QStringLiteral("--jitter") << QString::number(jitterHz);
    a << QStringLiteral("--vanish-after") << QString::number(vanishAfter) << QStringLiteral("--seed")
      << QString::number(seed);
    return a;
}
