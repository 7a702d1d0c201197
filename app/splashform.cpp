#include "splashform.h"

#include "halvexversion.h"
#include "ui_splashform.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace hvx {

namespace {

void stylePanel(QLabel *panel, const QStringList &families, QFont::StyleHint hint, int pixelSize)
{
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(hint);
    f.setPixelSize(pixelSize);
    f.setBold(true);
    panel->setFont(f);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    pal.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

} // namespace

TSplashForm::TSplashForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::TSplashForm>())
{
    ui->setupUi(this);
    setFixedSize(636, 479);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(81, 38, 193));
    setPalette(pal);
    setAutoFillBackground(true);
    ui->Panel2->setText(QStringLiteral("Halvex Programmable Transmitter Configuration v" HALVEX_VERSION));
    // The first installed of each list of faces (the metric equivalents of the
    // usual sans-serif and serif faces come first).
    stylePanel(ui->Panel2,
               { QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                 QStringLiteral("Helvetica") },
               QFont::SansSerif, 19);
    stylePanel(ui->Panel1,
               { QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"), QStringLiteral("Nimbus Roman"),
                 QStringLiteral("Times") },
               QFont::Serif, 107);
    // Clicks on the panels reach the window: labels do not take them.

    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());

    Timer1.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the splash keeps its full time.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(DisplayMilliseconds);
    connect(&Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
    Timer1.start();
}

TSplashForm::~TSplashForm() = default;

int TSplashForm::exec()
{
    if (!Timer1.isActive())
        return QDialog::Rejected;
    return QDialog::exec();
}

void TSplashForm::Button1Click() { close(); }

void TSplashForm::Timer1Timer() { close(); }

void TSplashForm::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    Button1Click();
}

void TSplashForm::keyPressEvent(QKeyEvent *e)
{
    e->accept();
    close();
}

void TSplashForm::closeEvent(QCloseEvent *e)
{
    Timer1.stop();
    QDialog::closeEvent(e);
}

} // namespace hvx
