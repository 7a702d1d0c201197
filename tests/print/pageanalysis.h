#pragma once
// Reading a printed results sheet back: a PDF page turned into an image with
// the poppler tools, the sheet found on it by its black frame, and each
// switch column checked for the white square in the row the map gives.

#include "evaluation.h"
#include "setupfile.h"
#include "shapewidget.h"
#include "switchform.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace printtest {

// A setup from the examples folder, evaluated.
struct EvaluatedSetup {
    hvx::Setup setup;
    hvx::EvaluationValues values;
    QString path;
    bool ok = false;
};

inline EvaluatedSetup evaluateExample(const QString &name)
{
    EvaluatedSetup e;
    e.path = QStringLiteral(HALVEX_EXAMPLES_DIR "/") + name;
    if (hvx::loadSetupFile(e.path, e.setup) != hvx::LoadStatus::Ok)
        return e;
    e.ok = hvx::Evaluate(e.setup, e.values).completed;
    return e;
}

inline int pdfPageCount(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { pdf });
    if (!info.waitForFinished(60000) || info.exitCode() != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(QString::fromLocal8Bit(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Page (from 1) of the PDF as an image at the given resolution.
inline QImage pdfPageImage(const QString &pdf, int page, int dpi, QString *error)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 { QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                   QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                   pdf, prefix });
    if (!render.waitForFinished(120000) || render.exitStatus() != QProcess::NormalExit || render.exitCode() != 0) {
        *error = QStringLiteral("pdftoppm failed: ") + QString::fromLocal8Bit(render.readAllStandardError())
            + render.errorString();
        return QImage();
    }
    QImage image(prefix + QStringLiteral(".png"));
    if (image.isNull())
        *error = QStringLiteral("pdftoppm wrote no page image");
    return image.convertToFormat(QImage::Format_RGB32);
}

inline int brightness(const QImage &page, QPoint at)
{
    int sum = 0;
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (!page.rect().contains(p))
                continue;
            sum += qGray(page.pixel(p));
            ++n;
        }
    return n ? sum / n : -1;
}

// The sheet on the page: the box of its black frame (the window's outer
// lines, 628 window pixels wide) and the page pixels per window pixel.
struct SheetOnPage {
    QRect frame;
    double scale = 0;
    QPoint toPage(QPoint windowPoint) const
    {
        return QPoint(frame.left() + int(windowPoint.x() * scale + 0.5),
                      frame.top() + int(windowPoint.y() * scale + 0.5));
    }
};

inline SheetOnPage findSheet(const QImage &page)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(line[x]) < 96) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    SheetOnPage sheet;
    if (right < 0)
        return sheet;
    sheet.frame = QRect(QPoint(left, top), QPoint(right, bottom));
    sheet.scale = (right - left + 1) / 628.0;
    return sheet;
}

// Every column of the shown banks, checked on the page: its white square in
// the upper row where the map says on, in the lower row where it says off,
// and black where the other square would be. Returns what is wrong.
inline QStringList checkSwitches(const QImage &page, const SheetOnPage &sheet, const hvx::TResultForm &form,
                                 const hvx::SwitchMap &map, bool dual)
{
    QStringList wrong;
    for (int bank = 1; bank <= (dual ? 4 : 3); ++bank) {
        for (int position = 1; position <= 12; ++position) {
            const bool on = map.bank(bank).isOn(position);
            for (const bool upper : { true, false }) {
                const hvx::ShapeWidget *square = upper ? form.onSquare(bank, position) : form.offSquare(bank, position);
                const QPoint centre = square->mapTo(&form, square->rect().center());
                const int level = brightness(page, sheet.toPage(centre));
                const bool white = level > 160;
                const bool black = level < 96;
                const bool shouldBeWhite = upper == on;
                if (shouldBeWhite ? !white : !black)
                    wrong << QStringLiteral("S%1 position %2 %3 row: brightness %4")
                                 .arg(bank)
                                 .arg(position)
                                 .arg(upper ? QStringLiteral("upper") : QStringLiteral("lower"))
                                 .arg(level);
            }
        }
    }
    return wrong;
}

// A results window filled from the setup and shown on screen, as Print needs
// it; its options file lives in dir. Null when the window never appeared.
inline std::unique_ptr<hvx::TResultForm> shownForm(const QTemporaryDir &dir, const EvaluatedSetup &e)
{
    auto form = std::make_unique<hvx::TResultForm>(dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
    form->FillResults(e.setup, e.values, e.path);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

} // namespace printtest
