#include "simoptions.h"
#include "simserver.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop picks the byte up.
void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool watchSignals(SimServer &server)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGUSR1, SIGINT, SIGTERM})
        ::sigaction(s, &action, nullptr);

    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &server);
    QObject::connect(notifier, &QSocketNotifier::activated, &server, [&server] {
        char byte = 0;
        if (::read(g_signalPipe[0], &byte, 1) != 1)
            return;
        if (byte == SIGUSR1) {
            server.endConnections();
        } else {
            server.log(QStringLiteral("stopping on signal %1").arg(int(byte)));
            QCoreApplication::quit();
        }
    });
    return true;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qeva-sim"));

    const SimOptions options = parseSimArguments(QCoreApplication::arguments());
    switch (options.action) {
    case SimOptions::Action::Help:
        std::fputs(qPrintable(options.message), stdout);
        return 0;
    case SimOptions::Action::Error:
        std::fprintf(stderr, "qeva-sim: %s\n%s\n", qPrintable(options.message), qPrintable(options.usage));
        return 2;
    case SimOptions::Action::Run:
        break;
    }

    SimServer server(options.config);
    if (!server.start()) {
        std::fprintf(stderr, "qeva-sim: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    if (!watchSignals(server))
        std::fprintf(stderr, "qeva-sim: signals not watched; SIGUSR1 will not end connections\n");
    return app.exec();
}
