// Runs a command on a fixture machine: builds one of the sensor fixtures' machine trees, points the
// sensor library's environment at it, runs the command with that environment and removes the tree
// when the command ends. For the screenshot scripts.
// Usage: run-on-fixture-machine <intelDesktop|amdDesktop|laptop|msiBoard> <command> [arguments...]

#include "tests/support/sensors/SensorFixtures.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: run-on-fixture-machine <machine> <command> [arguments...]\n");
        return 2;
    }
    using SensorFixtures::MachineTree;
    const QString machineName = arguments.takeFirst();
    std::unique_ptr<MachineTree> machine;
    if (machineName == QLatin1String("intelDesktop"))
        machine = MachineTree::intelDesktop();
    else if (machineName == QLatin1String("amdDesktop"))
        machine = MachineTree::amdDesktop();
    else if (machineName == QLatin1String("laptop"))
        machine = MachineTree::laptop();
    else if (machineName == QLatin1String("msiBoard"))
        machine = MachineTree::msiBoard();
    if (!machine) {
        std::fprintf(stderr, "unknown machine %s\n", qPrintable(machineName));
        return 2;
    }
    QProcess command;
    command.setProcessChannelMode(QProcess::ForwardedChannels);
    command.setInputChannelMode(QProcess::ForwardedInputChannel);
    command.start(arguments.takeFirst(), arguments);
    if (!command.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start the command: %s\n", qPrintable(command.errorString()));
        return 2;
    }
    command.waitForFinished(-1);
    return command.exitStatus() == QProcess::NormalExit ? command.exitCode() : 1;
}
