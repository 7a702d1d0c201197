#include "halvexabout.h"

#include "halvexapplication.h"
#include "halvexversion.h"
#include "readablecolours.h"
#include "ui_halvexabout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace hvx {

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TAboutForm>())
{
    ui->setupUi(this);
    setFixedSize(414, 208);

    QFont title = ui->Label2->font();
    title.setPixelSize(16);
    title.setBold(true);
    ui->Label2->setFont(title);
    colourTitle();

    ui->Label1->setText(QStringLiteral("Version " HALVEX_VERSION));
    QFont version = ui->Label1->font();
    version.setPixelSize(13);
    ui->Label1->setFont(version);

    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::loadIcons()
{
    if (m_iconsLoaded)
        return;
    m_iconsLoaded = true;
    // Looking up the OK button's icon searches the icon themes, and the
    // program icon is decoded from its image files: both take time that the
    // start of the program should not spend.
    const QIcon icon = programIcon();
    setWindowIcon(icon);
    ui->Image1->setPixmap(icon.pixmap(32, 32));
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
}

void TAboutForm::colourTitle()
{
    // Pure blue on a light window; on a dark one a lighter blue.
    QPalette pal = ui->Label2->palette();
    pal.setColor(QPalette::WindowText, readableOn(QColor(0, 0, 255), palette().color(backgroundRole())));
    ui->Label2->setPalette(pal);
}

void TAboutForm::changeEvent(QEvent *event)
{
    // The desktop's theme changed.
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        colourTitle();
}

void TAboutForm::showEvent(QShowEvent *event)
{
    loadIcons();
    QDialog::showEvent(event);
}

} // namespace hvx
