#pragma once
// A printer that prints nothing: it records every call with the bitmaps it
// was given, and can be told how the transfers turn out. Used to check what
// the form printer sends, and by the benchmark.

#include "printerdevice.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace hvx {

class RecordingPrinterDevice : public PrinterDevice {
public:
    enum class Call { StartDoc, NewPage, EndDoc, AbortDoc, StretchDIBits, BitBlt, StretchBlt };

    struct Record {
        Call call = Call::StartDoc;
        PrintRect dest;               // transfers: where the bitmap went
        DibHeader header;             // transfers: the bitmap's header
        std::vector<uint32_t> colors; // its colour table (ClrUsed entries)
        std::vector<uint8_t> bits;    // its rows, when keepBits is on
        QString documentName;         // StartDoc
        bool succeeded = true;
    };

    // A page of 8.5 × 11 inches at 600 dots per inch with a quarter-inch
    // unprintable edge, unless a test sets other capabilities.
    RecordingPrinterDevice();

    DeviceCaps caps() const override { return deviceCaps; }
    bool startDoc(const QString &documentName) override;
    bool newPage() override;
    bool endDoc() override;
    bool abortDoc() override;
    bool isPrinting() const override { return m_printing; }
    int stretchDIBits(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) override;
    bool bitBlt(int x, int y, const DibInfo &info, const uint8_t *bits) override;
    bool stretchBlt(const PrintRect &dest, const DibInfo &info, const uint8_t *bits) override;

    const std::vector<Record> &calls() const { return m_calls; }
    // The transfers only, in order.
    std::vector<const Record *> transfers() const;
    int count(Call call) const;
    void clear() { m_calls.clear(); }

    DeviceCaps deviceCaps;
    // Keep a copy of every bitmap's rows (off for long jobs).
    bool keepBits = true;
    // The number of scan lines StretchDIBits reports for the transfer with
    // the given running number (from 0, counting StretchDIBits calls only);
    // unset, all lines are reported copied.
    std::function<int(int call, const Record &record)> stretchDIBitsResult;
    // Whether a BitBlt or StretchBlt (running number from 0 over both)
    // succeeds; unset, all succeed.
    std::function<bool(int call, const Record &record)> deviceCopyResult;
    // Called after every transfer has been recorded.
    std::function<void(const Record &record)> onTransfer;
    // Total bytes of bitmap rows handed over.
    qint64 bytesSent = 0;

private:
    Record &record(Call call, const PrintRect &dest, const DibInfo *info, const uint8_t *bits);
    // Both device-dependent copies: recorded, answered by deviceCopyResult.
    bool deviceCopy(Call call, const PrintRect &dest, const DibInfo &info, const uint8_t *bits);

    std::vector<Record> m_calls;
    bool m_printing = false;
    int m_stretchDIBitsCalls = 0;
    int m_deviceCopyCalls = 0;
};

} // namespace hvx
