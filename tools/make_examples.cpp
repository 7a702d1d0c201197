// Writes the example setup files with the program's own writer:
//   halvex-make-examples DIR

#include "setup.h"
#include "setupfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <utility>
#include <vector>

using hvx::Setup;

namespace {

Setup voltageTo4to20()
{
    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 6;   // 0 to 10 V
    s.cbOutputRange = 1; // 4 to 20 mA source
    return s;
}

Setup thermocoupleK()
{
    Setup s;
    s.cbInputType = hvx::TcK;
    s.cbIRTCKJ = 8; // 0 to 400°C
    s.cbOutputRange = 1;
    return s;
}

Setup rtdCustom()
{
    Setup s;
    s.cbInputType = hvx::RtdPt100;
    s.cbIRRTD = 16; // Custom
    s.eCustomLow = QStringLiteral("-40");
    s.eCustomHigh = QStringLiteral("360");
    s.rgRTDType = 1;     // 3 wire
    s.cbOutputRange = 5; // 0 to 10 V source
    return s;
}

Setup dualAnalog()
{
    Setup s;
    s.cbInputType = hvx::CurrentSink;
    s.cbIRCurrent = 16; // 4 to 20 mA
    s.cbOutputRange = 1;
    s.rgDualOutput = hvx::DualOutputChoice::Dual;
    s.rgDualType = hvx::DualTypeChoice::Analog;
    s.cbOutputRange2 = 5; // 0 to 10 V source
    return s;
}

Setup tripRelay()
{
    Setup s;
    s.cbInputType = hvx::MilliVolt;
    s.cbIRmilliVolt = 2; // 0 to 100 mV
    s.cbOutputRange = 1;
    s.rgDualOutput = hvx::DualOutputChoice::Dual;
    s.rgDualType = hvx::DualTypeChoice::TripRelay;
    s.cbTripOutput = 3;     // 10 seconds
    s.rgTripBurnout = 1;    // Relay off
    s.rgTripLEDstate = 1;   // Green led
    s.rgTripRelativeTo = 1; // Output 1 value
    return s;
}

Setup frequency()
{
    Setup s;
    s.cbInputType = hvx::Pot3Wire;
    s.cbIRPot3 = 0;
    s.cbOutputRange = 9; // 4 to 20 mA sink
    s.rgDualOutput = hvx::DualOutputChoice::Dual;
    s.rgDualType = hvx::DualTypeChoice::Frequency;
    s.cbFreqOutputRange = 7; // 0 to 1,000 Hz
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const char usage[] = "usage: halvex-make-examples DIR\n"
                         "Writes the example setup files into the folder DIR.\n";
    const QStringList arguments = app.arguments();
    if (arguments.size() == 2
        && (arguments.at(1) == QLatin1String("--help") || arguments.at(1) == QLatin1String("-h"))) {
        std::fputs(usage, stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    if (arguments.size() != 2 || arguments.at(1).startsWith(QLatin1Char('-'))) {
        std::fputs(usage, stderr);
        return 64;
    }
    const QDir dir(arguments.at(1));
    const std::vector<std::pair<const char *, Setup>> examples = {
        { "voltage-0-10V-to-4-20mA.hvx", voltageTo4to20() },
        { "thermocouple-K-0-400C.hvx", thermocoupleK() },
        { "rtd-pt100-custom-range.hvx", rtdCustom() },
        { "dual-analog-output.hvx", dualAnalog() },
        { "trip-relay.hvx", tripRelay() },
        { "frequency-output.hvx", frequency() },
    };
    for (const auto &[name, setup] : examples) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QString why;
        if (!hvx::saveSetupFile(path, setup, &why)) {
            std::fprintf(stderr, "halvex-make-examples: %s could not be written: %s\n",
                         QFile::encodeName(path).constData(), why.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
