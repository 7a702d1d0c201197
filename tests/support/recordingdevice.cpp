#include "recordingdevice.h"

namespace hvx {

RecordingPrinterDevice::RecordingPrinterDevice()
{
    deviceCaps.LogPixelsX = 600;
    deviceCaps.LogPixelsY = 600;
    deviceCaps.PhysicalWidth = 5100;
    deviceCaps.PhysicalHeight = 6600;
    deviceCaps.PhysicalOffsetX = 150;
    deviceCaps.PhysicalOffsetY = 150;
    deviceCaps.HorzRes = 4800;
    deviceCaps.VertRes = 6300;
}

RecordingPrinterDevice::Record &RecordingPrinterDevice::record(Call call, const PrintRect &dest, const DibInfo *info,
                                                               const uint8_t *bits)
{
    Record r;
    r.call = call;
    r.dest = dest;
    if (info) {
        r.header = info->Header;
        const uint32_t used = std::min<uint32_t>(info->Header.ClrUsed, DibInfo::TableEntries);
        r.colors.assign(info->Colors, info->Colors + used);
        if (bits) {
            bytesSent += info->Header.SizeImage;
            if (keepBits)
                r.bits.assign(bits, bits + info->Header.SizeImage);
        }
    }
    m_calls.push_back(std::move(r));
    return m_calls.back();
}

bool RecordingPrinterDevice::startDoc(const QString &documentName)
{
    if (m_printing)
        return false;
    m_printing = true;
    record(Call::StartDoc, PrintRect{}, nullptr, nullptr).documentName = documentName;
    return true;
}

bool RecordingPrinterDevice::newPage()
{
    record(Call::NewPage, PrintRect{}, nullptr, nullptr).succeeded = m_printing;
    return m_printing;
}

bool RecordingPrinterDevice::endDoc()
{
    const bool was = m_printing;
    m_printing = false;
    record(Call::EndDoc, PrintRect{}, nullptr, nullptr).succeeded = was;
    return was;
}

bool RecordingPrinterDevice::abortDoc()
{
    const bool was = m_printing;
    m_printing = false;
    record(Call::AbortDoc, PrintRect{}, nullptr, nullptr).succeeded = was;
    return was;
}

int RecordingPrinterDevice::stretchDIBits(const PrintRect &dest, const DibInfo &info, const uint8_t *bits)
{
    Record &r = record(Call::StretchDIBits, dest, &info, bits);
    const int index = m_stretchDIBitsCalls++;
    const int lines = stretchDIBitsResult ? stretchDIBitsResult(index, r) : info.Header.Height;
    r.succeeded = lines == info.Header.Height;
    if (onTransfer)
        onTransfer(m_calls.back());
    return lines;
}

bool RecordingPrinterDevice::bitBlt(int x, int y, const DibInfo &info, const uint8_t *bits)
{
    return deviceCopy(Call::BitBlt, PrintRect{ x, y, x + info.Header.Width, y + info.Header.Height }, info, bits);
}

bool RecordingPrinterDevice::stretchBlt(const PrintRect &dest, const DibInfo &info, const uint8_t *bits)
{
    return deviceCopy(Call::StretchBlt, dest, info, bits);
}

bool RecordingPrinterDevice::deviceCopy(Call call, const PrintRect &dest, const DibInfo &info, const uint8_t *bits)
{
    Record &r = record(call, dest, &info, bits);
    const int index = m_deviceCopyCalls++;
    r.succeeded = deviceCopyResult ? deviceCopyResult(index, r) : true;
    const bool ok = r.succeeded;
    if (onTransfer)
        onTransfer(m_calls.back());
    return ok;
}

std::vector<const RecordingPrinterDevice::Record *> RecordingPrinterDevice::transfers() const
{
    std::vector<const Record *> result;
    for (const Record &r : m_calls)
        if (r.call == Call::StretchDIBits || r.call == Call::BitBlt || r.call == Call::StretchBlt)
            result.push_back(&r);
    return result;
}

int RecordingPrinterDevice::count(Call call) const
{
    int n = 0;
    for (const Record &r : m_calls)
        n += r.call == call ? 1 : 0;
    return n;
}

} // namespace hvx
