// Renders the results window for the main kinds of setup, and the Read
// Switches window with switches that a setup gives and with switches that
// none gives, into PNG files:
//   halvex-results-pictures OUTPUT-FOLDER
// Each setup is evaluated by the real evaluation and shown by the real window,
// so the pictures show the program as it is.

#include "evaluation.h"
#include "readswitchesform.h"
#include "switchform.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace hvx;

namespace {

int indexOf(ListId list, const QString &text) { return Texts::items(list).indexOf(text); }

struct Picture {
    const char *file;
    Setup setup;
    QString setupFileName;
};

Setup outputOne(Setup s)
{
    s.cbOutputRange = indexOf(ListId::cbOutputRange, QStringLiteral("4 to 20 mA source"));
    return s;
}

QList<Picture> pictures()
{
    QList<Picture> list;

    Setup single;
    single.cbInputType = Voltage;
    single.cbIRVoltage = indexOf(ListId::cbIRVoltage, QStringLiteral("0 to 10 V"));
    list.append({ "results-single-output.png", outputOne(single),
                  QStringLiteral("/home/engineer/setups/boiler feed pump.hvx") });

    Setup analog;
    analog.cbInputType = TcK;
    analog.cbIRTCKJ = indexOf(ListId::cbIRTCKJ, QStringLiteral("0 to 400°C"));
    analog.rgDualOutput = DualOutputChoice::Dual;
    analog.rgDualType = DualTypeChoice::Analog;
    analog.cbOutputRange2 = indexOf(ListId::cbOutputRange2, QStringLiteral("0 to 10 V source"));
    list.append({ "results-dual-analog.png", outputOne(analog),
                  QStringLiteral("/home/engineer/setups/furnace zone 2 temperature.hvx") });

    Setup trip;
    trip.cbInputType = CurrentTxSupply;
    trip.cbIRCurrentTransmitter = Texts::items(ListId::cbIRCurrentTransmitter).indexOf(Texts::customItem());
    trip.eCustomLow = QStringLiteral("4");
    trip.eCustomHigh = QStringLiteral("20");
    trip.rgDualOutput = DualOutputChoice::Dual;
    trip.rgDualType = DualTypeChoice::TripRelay;
    trip.cbTripOutput = indexOf(ListId::cbTripOutput, QStringLiteral("10 seconds"));
    list.append({ "results-trip-relay.png", outputOne(trip),
                  QStringLiteral("/home/engineer/Documents/Converter setups/tank farm/level transmitter "
                                 "number 12 with high alarm relay.hvx") });

    Setup frequency;
    frequency.cbInputType = RtdPt100;
    frequency.cbIRRTD = indexOf(ListId::cbIRRTD, QStringLiteral("-50 to 150°C"));
    frequency.rgRTDType = 1;
    frequency.rgDualOutput = DualOutputChoice::Dual;
    frequency.rgDualType = DualTypeChoice::Frequency;
    frequency.cbFreqOutputRange = indexOf(ListId::cbFreqOutputRange, QStringLiteral("0 to 1,000 Hz"));
    list.append({ "results-frequency.png", outputOne(frequency), QString() });

    return list;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: halvex-results-pictures OUTPUT-FOLDER\n";
        return 64;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.absolutePath())) {
        err << out.absolutePath() << " could not be created.\n";
        return 2;
    }

    // The window keeps its print options in a file; keep this run's away from
    // the user's.
    QTemporaryDir scratch;
    TResultForm form(scratch.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());

    int status = 0;
    for (const Picture &picture : pictures()) {
        EvaluationValues values;
        const EvaluationOutcome outcome = Evaluate(picture.setup, values, QLocale::c());
        const QString path = out.filePath(QString::fromLatin1(picture.file));
        if (!outcome.completed) {
            err << path << ": the setup was refused: " << outcome.status << "\n";
            status = 1;
            continue;
        }
        form.FillResults(picture.setup, values, picture.setupFileName);
        form.show();
        QApplication::processEvents();
        if (!form.grab().save(path)) {
            err << path << " could not be written.\n";
            status = 2;
            continue;
        }
        QTextStream(stdout) << path << "\n";
    }
    form.hide();

    // The reader with the switches of the dual analog setup, then with S2.12
    // turned over as well, which no setup gives.
    ReadSwitchesForm reader;
    EvaluationValues values;
    Evaluate(pictures().at(1).setup, values, QLocale::c());
    SwitchMap unit = values.map;
    for (const char *file : { "read-switches-exact.png", "read-switches-nearest.png" }) {
        reader.setSwitches(unit);
        reader.show();
        QApplication::processEvents();
        const QString path = out.filePath(QString::fromLatin1(file));
        if (!reader.grab().save(path)) {
            err << path << " could not be written.\n";
            status = 2;
        } else {
            QTextStream(stdout) << path << "\n";
        }
        unit.S2.isOn(12) ? unit.S2.turnOff(12) : unit.S2.turnOn(12);
    }
    return status;
}
