#include "simoptions.h"

#include <QCommandLineParser>

std::optional<SimOptions> SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser p;
    const auto value = [&p](const char *name, const char *description) {
        QCommandLineOption o{QLatin1String(name), QLatin1String(description), QStringLiteral("value")};
        p.addOption(o);
        return o;
    };
    const auto flag = [&p](const char *name, const char *description) {
        QCommandLineOption o{QLatin1String(name), QLatin1String(description)};
        p.addOption(o);
        return o;
    };
    const auto family = value("family", "Dravion or MR");
    const auto config = value("config", "configuration file with the item ranges");
    const auto state = value("state", "file the W command stores the items in");
    const auto version = value("version", "version text answered to V");
    const auto outputType = value("output-type", "output type answered to I");
    const auto latency = value("latency", "reply latency in ms");
    const auto noPacing = flag("no-pacing", "write replies at once instead of at 9600 baud");
    const auto link = value("link", "symlink to create for the pty");
    const auto log = value("log", "traffic log file");
    const auto drop = value("drop", "probability of dropping a reply");
    const auto garble = value("garble", "probability of garbling a reply");
    const auto wrongCode = value("wrong-code", "probability of answering with another code");
    const auto delay = value("delay", "probability of answering late");
    const auto delayMs = value("delay-ms", "how late, in ms (default 700)");
    const auto silent = flag("silent", "never answer");
    const auto errorOpt = value("error", "CODE:ITEM, answer device error CODE for ITEM");
    const auto vanish = value("vanish-after", "close the pty when command N+1 arrives");
    const auto seed = value("seed", "seed of the fault generator");
    p.addHelpOption();
    if (!p.parse(QStringList{QStringLiteral("qrx-sim")} + arguments)) {
        *error = p.errorText();
        return std::nullopt;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument ") + p.positionalArguments().first();
        return std::nullopt;
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
    o.family = p.isSet(family) ? p.value(family) : o.family;
    if (o.family != QLatin1String("Dravion") && o.family != QLatin1String("MR")) {
        *error = QStringLiteral("--family must be Dravion or MR");
        return std::nullopt;
    }
    o.configPath = p.value(config);
    o.statePath = p.value(state);
    o.version = p.value(version);
    o.outputType = number(outputType, 0);
    o.latencyMs = number(latency, 0);
    o.pacing = !p.isSet(noPacing);
    o.linkPath = p.value(link);
    o.logPath = p.value(log);
    o.drop = number(drop, 0.0);
    o.garble = number(garble, 0.0);
    o.wrongCode = number(wrongCode, 0.0);
    o.delay = number(delay, 0.0);
    o.delayMs = number(delayMs, 700);
    o.silent = p.isSet(silent);
    o.vanishAfter = number(vanish, -1);
    o.seed = number(seed, quint32(1));
    if (p.isSet(errorOpt)) {
        const QStringList parts = p.value(errorOpt).split(QLatin1Char(':'));
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
    QStringList a{QStringLiteral("--family"), family};
    const auto add = [&a](const char *name, const QString &v) {
        if (!v.isEmpty())
            a << QLatin1String(name) << v;
    };
    add("--config", configPath);
    add("--state", statePath);
    add("--version", version);
    add("--link", linkPath);
    add("--log", logPath);
    a << QStringLiteral("--output-type") << QString::number(outputType);
    a << QStringLiteral("--latency") << QString::number(latencyMs);
    if (!pacing)
        a << QStringLiteral("--no-pacing");
    a << QStringLiteral("--drop") << QString::number(drop) << QStringLiteral("--garble") << QString::number(garble)
      << QStringLiteral("--wrong-code") << QString::number(wrongCode) << QStringLiteral("--delay")
      << QString::number(delay) << QStringLiteral("--delay-ms") << QString::number(delayMs);
    if (silent)
        a << QStringLiteral("--silent");
    if (errorCode > 0)
        a << QStringLiteral("--error") << QStringLiteral("%1:%2").arg(errorCode).arg(errorItem);
    a << QStringLiteral("--vanish-after") << QString::number(vanishAfter) << QStringLiteral("--seed")
      << QString::number(seed);
    return a;
}
