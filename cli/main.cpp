#include "commandlist.h"
#include "qevactl.h"
#include "qevaversion.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qevactl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEVA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Qevactl tool(qevactlCommands(), out, err);
    return tool.run(QCoreApplication::arguments());
}
