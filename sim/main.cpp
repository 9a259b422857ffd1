// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-sim: plays a QRX flow meter electronics on a pseudo-terminal for the utility, its tests and demos.

#include <csignal>
#include <cstdio>

#include <QCoreApplication>

#include "ptyserver.h"
#include "simoptions.h"

namespace {

PtyServer *g_server = nullptr;

void onSignal(int)
{
    if (g_server)
        g_server->stop(); // only writes one byte to a pipe
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString error;
    const auto options = SimOptions::parse(app.arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "qrx-sim: %s\n\n%s", qPrintable(error), qPrintable(SimOptions::usage()));
        return 2;
    }
    if (options->help) {
        std::printf("%s", qPrintable(SimOptions::usage()));
        return 0;
    }
    if (options->showVersion) {
        std::printf("qrx-sim (QRX Programming Utility) %s\n", QRX_VERSION);
        return 0;
    }
    PtyServer server(*options);
    if (!server.open(&error)) {
        std::fprintf(stderr, "qrx-sim: %s\n", qPrintable(error));
        return 1;
    }
    if (!server.setupError().isEmpty())
        std::fprintf(
            stderr, "qrx-sim: warning: %s; using built-in ranges\n", qPrintable(server.setupError()));
    g_server = &server;
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::printf("port %s\n", qPrintable(server.path()));
    std::fflush(stdout);
    server.run();
    g_server = nullptr;
    return 0;
}
