#include "printerdevice.h"

#include "wholefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

namespace hvx {

PrintRect IntersectRect(const PrintRect &a, const PrintRect &b)
{
    PrintRect r{ std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom) };
    if (r.isEmpty())
        return PrintRect{};
    return r;
}

int dibRowLength(int width, int bitsPerPixel)
{
    return static_cast<int>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

namespace {

QVector<QRgb> colourTable(const DibInfo &info, int count)
{
    QVector<QRgb> table(count);
    for (int i = 0; i < count; ++i)
        table[i] = 0xff000000u | (info.Colors[i] & 0x00ffffffu);
    return table;
}

// The rows of a bottom-up bitmap, from the top of the image.
struct DibRows {
    const uint8_t *bits;
    int height;
    int length;
    const uint8_t *operator[](int y) const { return bits + static_cast<size_t>(height - 1 - y) * length; }
};

// Most significant bit first, rows padded to 32 bits: the rows copy as they
// are.
void copyMonoRows(const DibRows &rows, QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), rows[y], std::min<int>(rows.length, image.bytesPerLine()));
}

// Two pixels a byte, the first in the high nibble, spread to a byte each.
void copyNibbleRows(const DibRows &rows, QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t *src = rows[y];
        uchar *dst = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            dst[x] = (x & 1) ? (src[x / 2] & 0x0f) : (src[x / 2] >> 4);
    }
}

// bytesPerPixel bytes a pixel in the image's own order.
void copyByteRows(const DibRows &rows, QImage &image, int bytesPerPixel)
{
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), rows[y], static_cast<size_t>(image.width()) * bytesPerPixel);
}

} // namespace

QImage dibToImage(const DibInfo &info, const uint8_t *bits)
{
    const DibHeader &h = info.Header;
    if (!bits || h.Width <= 0 || h.Height <= 0 || h.Planes != 1 || h.Compression != 0)
        return QImage();
    const DibRows rows{ bits, h.Height, dibRowLength(h.Width, h.BitCount) };
    QImage image;
    switch (h.BitCount) {
    case 1:
        image = QImage(h.Width, h.Height, QImage::Format_Mono);
        if (!image.isNull()) {
            image.setColorTable(colourTable(info, 2));
            copyMonoRows(rows, image);
        }
        break;
    case 4:
        image = QImage(h.Width, h.Height, QImage::Format_Indexed8);
        if (!image.isNull()) {
            image.setColorTable(colourTable(info, 16));
            copyNibbleRows(rows, image);
        }
        break;
    case 8:
        image = QImage(h.Width, h.Height, QImage::Format_Indexed8);
        if (!image.isNull()) {
            image.setColorTable(colourTable(info, 256));
            copyByteRows(rows, image, 1);
        }
        break;
    case 24:
        // Blue, green, red in memory order.
        image = QImage(h.Width, h.Height, QImage::Format_BGR888);
        if (!image.isNull())
            copyByteRows(rows, image, 3);
        break;
    default:
        break;
    }
    return image;
}

QtPrinterDevice::QtPrinterDevice(QPrinter &printer)
    : m_printer(printer)
    , m_painter(new QPainter)
{
}

QtPrinterDevice::~QtPrinterDevice()
{
    if (m_painter->isActive())
        abortDoc();
    delete m_painter;
}

DeviceCaps QtPrinterDevice::caps() const
{
    DeviceCaps c;
    const int dpi = m_printer.resolution();
    const QPageLayout layout = m_printer.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = m_printer.fullPage() ? paper : layout.paintRectPixels(dpi);
    c.PhysicalOffsetX = printable.left() - paper.left();
    c.PhysicalOffsetY = printable.top() - paper.top();
    c.PhysicalWidth = paper.width();
    c.PhysicalHeight = paper.height();
    c.HorzRes = printable.width();
    c.VertRes = printable.height();
    c.LogPixelsX = dpi;
    c.LogPixelsY = dpi;
    c.Bitmap64 = true;
    return c;
}

bool QtPrinterDevice::startDoc(const QString &documentName)
{
    if (isPrinting())
        return false;
    m_error.clear();
    m_documentName = documentName;
    m_targetFile = m_printer.outputFileName();
#ifdef HALVEX_HAVE_CUPS
    m_submitToPrinter = m_targetFile.isEmpty() && m_printer.outputFormat() == QPrinter::NativeFormat;
#else
    m_submitToPrinter = false; // the printer object sends the job itself
#endif
    // The document is made in a file of its own and only becomes the output
    // file, or goes to the printer, when it is complete: an aborted document
    // leaves neither a partial file nor a partial job.
    if (m_submitToPrinter) {
        m_spool.reset(new QTemporaryFile(QDir::tempPath() + QStringLiteral("/halvex-print-XXXXXX.part")));
        if (!m_spool->open()) {
            m_error = QStringLiteral("The print file could not be created: %1").arg(m_spool->errorString());
            m_spool.reset();
            return false;
        }
        m_spool->close();
        m_printer.setOutputFileName(m_spool->fileName());
    } else if (!m_targetFile.isEmpty()) {
        m_output.reset(new WholeFile(m_targetFile));
        if (!m_output->open()) {
            m_error = QStringLiteral("%1 could not be written: %2").arg(m_targetFile, m_output->errorString());
            m_output.reset();
            return false;
        }
        m_printer.setOutputFileName(m_output->temporaryFileName());
    }
    m_printer.setDocName(documentName);
    if (!m_painter->begin(&m_printer)) {
        finishDocument(false);
        return false;
    }
    // Band bitmaps go into the document as they are, never re-encoded lossily.
    m_painter->setRenderHint(QPainter::LosslessImageRendering, true);
    return true;
}

bool QtPrinterDevice::newPage() { return m_painter->isActive() && m_printer.newPage(); }

bool QtPrinterDevice::endDoc()
{
    if (!m_painter->isActive())
        return false;
    if (!m_painter->end()) {
        finishDocument(false);
        return false;
    }
    return finishDocument(true);
}

bool QtPrinterDevice::abortDoc()
{
    if (!m_painter->isActive())
        return false;
    m_printer.abort();
    m_painter->end();
    finishDocument(false);
    return true;
}

bool isCompletePdf(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 32)
        return false;
    const qint64 tailSize = std::min<qint64>(f.size(), 1024);
    if (!f.seek(f.size() - tailSize))
        return false;
    const QByteArray tail = f.read(tailSize);
    if (!tail.trimmed().endsWith("%%EOF"))
        return false;
    const int at = tail.lastIndexOf("startxref");
    if (at < 0)
        return false;
    bool number = false;
    const qint64 xref = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&number);
    if (!number || xref <= 0 || !f.seek(xref))
        return false;
    // A table ("xref") or a cross-reference stream object ("12 0 obj").
    const QByteArray there = f.read(24);
    static const QRegularExpression streamObject(QStringLiteral("^\\d+\\s+\\d+\\s+obj"));
    return there.startsWith("xref") || streamObject.match(QString::fromLatin1(there)).hasMatch();
}

bool QtPrinterDevice::finishDocument(bool keep)
{
    if (!m_spool && !m_output)
        return keep;
    const QString documentFile = m_spool ? m_spool->fileName() : m_output->temporaryFileName();
    // The printer goes back to the output the user chose.
    m_printer.setOutputFileName(m_targetFile);
    bool ok = keep;
    if (keep && !isCompletePdf(documentFile)) {
        m_error = QStringLiteral("%1 could not be written.").arg(m_spool ? documentFile : m_targetFile);
        ok = false;
    } else if (keep && m_spool) {
#ifdef HALVEX_HAVE_CUPS
        ok = submitPrintFile(m_printer, documentFile, m_documentName, &m_error);
#endif
    } else if (keep && !m_output->commit()) {
        m_error = QStringLiteral("%1 could not be written: %2").arg(m_targetFile, m_output->errorString());
        ok = false;
    }
    // Removes the document file unless it became the output.
    m_spool.reset();
    m_output.reset();
    return ok;
}

bool QtPrinterDevice::isPrinting() const
{
    return m_painter->isActive() || m_printer.printerState() == QPrinter::Active;
}

int QtPrinterDevice::stretchDIBits(const PrintRect &dest, const DibInfo &info, const uint8_t *bits)
{
    if (!m_painter->isActive() || dest.isEmpty())
        return 0;
    const QImage image = dibToImage(info, bits);
    if (image.isNull())
        return 0;
    m_painter->drawImage(QRect(dest.Left, dest.Top, dest.width(), dest.height()), image);
    return image.height();
}

bool QtPrinterDevice::bitBlt(int x, int y, const DibInfo &info, const uint8_t *bits)
{
    if (!m_painter->isActive())
        return false;
    const QPixmap pixmap = QPixmap::fromImage(dibToImage(info, bits));
    if (pixmap.isNull())
        return false;
    m_painter->drawPixmap(x, y, pixmap);
    return true;
}

bool QtPrinterDevice::stretchBlt(const PrintRect &dest, const DibInfo &info, const uint8_t *bits)
{
    if (!m_painter->isActive() || dest.isEmpty())
        return false;
    const QPixmap pixmap = QPixmap::fromImage(dibToImage(info, bits));
    if (pixmap.isNull())
        return false;
    m_painter->drawPixmap(QRect(dest.Left, dest.Top, dest.width(), dest.height()), pixmap);
    return true;
}

namespace {
QPrinter *g_applicationPrinter = nullptr;

void deleteApplicationPrinter()
{
    delete g_applicationPrinter;
    g_applicationPrinter = nullptr;
}
} // namespace

QPrinter &applicationPrinter()
{
    if (!g_applicationPrinter) {
        g_applicationPrinter = new QPrinter(QPrinter::HighResolution);
        // Gone with the application object, while the print plugins still
        // exist.
        qAddPostRoutine(deleteApplicationPrinter);
    }
    return *g_applicationPrinter;
}

} // namespace hvx
