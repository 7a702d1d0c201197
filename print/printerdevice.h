#pragma once
// The printer as the form printer sees it: a handful of capabilities, the
// document calls, and three ways of putting a band bitmap on the page. The
// band bitmaps are device-independent bitmaps in the classic layout (a 40-byte
// information header, a colour table of blue-green-red-zero entries, rows
// bottom-up and padded to 32 bits, pixels most significant bit first).

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class QPainter;
class QPrinter;
class QTemporaryFile;

namespace hvx {

class WholeFile;

// A rectangle in device pixels; Right and Bottom lie just outside it.
struct PrintRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    bool isEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const PrintRect &o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const PrintRect &o) const { return !(*this == o); }
};

// The common part of a and b; an empty rectangle (all zero) when they do not
// meet.
PrintRect IntersectRect(const PrintRect &a, const PrintRect &b);

// The bitmap information header, field for field as it is laid out in memory.
struct DibHeader {
    int32_t Size = 0;
    int32_t Width = 0;
    int32_t Height = 0; // positive: the rows are stored bottom-up
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};
static_assert(sizeof(DibHeader) == 40, "the header is 40 bytes");

// Header and colour table in one block of 1084 bytes. The colour scan may put
// up to 257 entries into the table before it gives up; each entry is the
// colour as 0x00RRGGBB, which in memory reads blue, green, red, zero.
struct DibInfo {
    static constexpr int TableEntries = 261;
    DibHeader Header;
    uint32_t Colors[TableEntries] = {};
};
static_assert(sizeof(DibInfo) == 1084, "header and colour table take 1084 bytes");

// Bytes in one row of a bitmap: width × bits rounded up to whole 32-bit words.
int dibRowLength(int width, int bitsPerPixel);

// The bitmap as a QImage of the matching kind: 1 bit per pixel as a mono
// image, 4 and 8 bits as an 8-bit indexed image, 24 bits as RGB. A null image
// when the header describes no bitmap this supports.
QImage dibToImage(const DibInfo &info, const uint8_t *bits);

// Whether the PDF file holds all that was written into it. Writes of the
// PDF engine fail unreported (no room left, a file-size limit), so the file
// is checked where a lost piece shows: its end must be the trailer, and the
// cross-reference table must start where the trailer says.
bool isCompletePdf(const QString &fileName);

struct DeviceCaps {
    int PhysicalOffsetX = 0;
    int PhysicalOffsetY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int HorzRes = 0; // printable width
    int VertRes = 0; // printable height
    int LogPixelsX = 0;
    int LogPixelsY = 0;
    bool Bitmap64 = true; // takes bitmaps larger than 64 KB
};

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;

    virtual DeviceCaps caps() const = 0;

    virtual bool startDoc(const QString &documentName) = 0;
    virtual bool newPage() = 0;
    virtual bool endDoc() = 0;
    virtual bool abortDoc() = 0;
    // A document is under way.
    virtual bool isPrinting() const = 0;

    // Device-independent transfer of the whole bitmap into dest, enlarged or
    // reduced to fit; the number of scan lines copied.
    virtual int stretchDIBits(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) = 0;
    // Device-dependent transfers: a bitmap made for the device from the
    // device-independent one, then copied unscaled to (x, y) or stretched
    // into dest. False when the bitmap could not be made or copied.
    virtual bool bitBlt(int x, int y, const DibInfo &info, const uint8_t *bits) = 0;
    virtual bool stretchBlt(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) = 0;
};

// A QPrinter drawn on through a QPainter. Device pixels are the printer's
// dots; the origin is the corner of the printable area.
class QtPrinterDevice : public PrinterDevice {
public:
    explicit QtPrinterDevice(QPrinter &printer);
    ~QtPrinterDevice() override;
    QtPrinterDevice(const QtPrinterDevice &) = delete;
    QtPrinterDevice &operator=(const QtPrinterDevice &) = delete;

    DeviceCaps caps() const override;
    bool startDoc(const QString &documentName) override;
    bool newPage() override;
    bool endDoc() override;
    bool abortDoc() override;
    bool isPrinting() const override;
    int stretchDIBits(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) override;
    bool bitBlt(int x, int y, const DibInfo &info, const uint8_t *bits) override;
    bool stretchBlt(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) override;

    QPrinter &printer() const { return m_printer; }
    // Why the last document could not be started or ended, when known.
    QString errorString() const { return m_error; }

private:
    bool finishDocument(bool keep);

    QPrinter &m_printer;
    QPainter *m_painter;
    std::unique_ptr<QTemporaryFile> m_spool; // a document for the printer
    std::unique_ptr<WholeFile> m_output;     // a document for a file
    QString m_targetFile;
    QString m_documentName;
    QString m_error;
    bool m_submitToPrinter = false;
};

// Hands a finished document file to the printer chosen on the QPrinter, with
// every choice made for it in the print dialog, through the helper program
// halvex-print-submit. The event loop runs while the helper works, under the
// progress dialog, whose Cancel ends the helper. False with a reason when the
// job was not accepted, the server did not answer, the user cancelled or the
// helper could not do its work. Built only with the print system's client
// library (HALVEX_HAVE_CUPS); without it the QPrinter prints by itself.
#ifdef HALVEX_HAVE_CUPS
bool submitPrintFile(const QPrinter &printer, const QString &fileName, const QString &title, QString *error);
// The helper to run, for a program that lives away from it (a test); empty:
// the one beside the running program, else the installed one.
void setPrintSubmitProgram(const QString &program);
// How long the print server may say nothing before the job fails (60 s).
void setPrintServerTimeout(int seconds);
#endif

// The printer the program prints on, made on first use with the printer's
// own resolution, and kept for the rest of the run (like the choices made in
// the print dialog).
QPrinter &applicationPrinter();

} // namespace hvx
