#include "setupfile.h"
#include "regularfile.h"
#include "wholefile.h"

#include <QFile>

#include <cstring>

namespace hvx {
namespace {

// Windows-1252 conversion of the stored texts (the degree sign is 0xB0).
QString fromWindows1252(const QByteArray &bytes);
QByteArray toWindows1252(const QString &text);

const char signatureText[] = "HALVEX SWITCH SETUP FOR WINDOWS TARNWELL ELECTRONICS..........";
static_assert(sizeof(signatureText) == SignatureSize, "62 characters and the zero byte");

constexpr int TextFieldSize = 7;
constexpr int MaxTextLength = TextFieldSize - 1;

// One stored field, in file order after the signature.
enum class FieldKind { List, Choice, SpeedShown, CustomLow, CustomHigh };
struct Field {
    FieldKind kind;
    int id; // ListId or ChoiceId
};

constexpr Field listField(ListId id) { return { FieldKind::List, static_cast<int>(id) }; }
constexpr Field choiceField(ChoiceId id) { return { FieldKind::Choice, static_cast<int>(id) }; }

const Field fileOrder[] = {
    choiceField(ChoiceId::rgRTDType),
    listField(ListId::cbIRPot3),
    listField(ListId::cbInputRange),
    listField(ListId::cbIRCurrent),
    listField(ListId::cbIRVoltage),
    listField(ListId::cbIRmilliVolt),
    listField(ListId::cbIRTCKJ),
    listField(ListId::cbIRTCRS),
    listField(ListId::cbIRTCNE),
    listField(ListId::cbIRTCB),
    listField(ListId::cbIRTCT),
    listField(ListId::cbIRRTD),
    listField(ListId::cbIRCurrentTransmitter),
    listField(ListId::cbIRPot2),
    choiceField(ChoiceId::rgColdJunction),
    choiceField(ChoiceId::rgLinearisation),
    listField(ListId::cbInputType),
    choiceField(ChoiceId::rgConversionSpeed),
    { FieldKind::SpeedShown, 0 },
    { FieldKind::CustomLow, 0 },
    { FieldKind::CustomHigh, 0 },
    choiceField(ChoiceId::rgDualOutput),
    listField(ListId::cbOutputRange),
    choiceField(ChoiceId::rgBurnout),
    choiceField(ChoiceId::rgInversion),
    choiceField(ChoiceId::rgSquareRoot),
    choiceField(ChoiceId::rgButtonIsolation),
    listField(ListId::cbOutputRange2),
    choiceField(ChoiceId::rgBurnout2),
    choiceField(ChoiceId::rgInversion2),
    choiceField(ChoiceId::rgSquareRoot2),
    listField(ListId::cbTripOutput),
    choiceField(ChoiceId::rgTripBurnout),
    choiceField(ChoiceId::rgTripLEDstate),
    choiceField(ChoiceId::rgTripRelativeTo),
    listField(ListId::cbFreqOutputRange),
    choiceField(ChoiceId::rgFreqBurnout),
    choiceField(ChoiceId::rgDualType),
};

void putInt32(QByteArray &out, int value)
{
    const quint32 v = static_cast<quint32>(value);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

int getInt32(const char *p)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<quint32>(static_cast<unsigned char>(p[i])) << (8 * i);
    return static_cast<qint32>(v);
}

void putText(QByteArray &out, const QString &text)
{
    const QByteArray bytes = toWindows1252(text).left(MaxTextLength);
    out.append(bytes);
    out.append(TextFieldSize - bytes.size(), '\0');
}

QString getText(const char *p)
{
    // The text ends at the first zero byte; a field without one gives all 7 bytes.
    const void *zero = std::memchr(p, 0, TextFieldSize);
    const int length = zero ? static_cast<int>(static_cast<const char *>(zero) - p) : TextFieldSize;
    return fromWindows1252(QByteArray(p, length));
}

int clampList(ListId id, int value) { return value >= 0 && value < Texts::items(id).size() ? value : -1; }

int clampChoice(ChoiceId id, int value)
{
    const int buttons = Texts::buttonCount(id);
    if (value <= -1)
        return -1;
    return value >= buttons ? buttons - 1 : value;
}

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character.
const char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QString fromWindows1252(const QByteArray &bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0 && cp1252High[b - 0x80] != 0)
            s += QChar(cp1252High[b - 0x80]);
        else
            s += QChar(b); // Latin-1 agrees with Windows-1252 elsewhere (undefined bytes pass through)
    }
    return s;
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (cp1252High[i] == u && u != 0) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        if (mapped == '?' && u >= 0x80 && u < 0xA0)
            mapped = static_cast<char>(u); // an undefined byte read from a file goes back unchanged
        out.append(mapped);
    }
    return out;
}

} // namespace

QByteArray setupSignature() { return QByteArray(signatureText, SignatureSize); }

bool HasSetupSignature(QIODevice &file)
{
    const QByteArray head = file.read(SignatureSize);
    return head == setupSignature();
}

QByteArray setupFileBytes(const Setup &s)
{
    QByteArray out;
    out.reserve(SetupFileSize);
    out.append(signatureText, SignatureSize);
    for (const Field &f : fileOrder) {
        switch (f.kind) {
        case FieldKind::List:
            putInt32(out, s.list(ListId(f.id)));
            break;
        case FieldKind::Choice:
            putInt32(out, s.choice(ChoiceId(f.id)));
            break;
        case FieldKind::SpeedShown:
            out.append(s.conversionSpeedShown ? '\1' : '\0');
            break;
        case FieldKind::CustomLow:
            putText(out, s.eCustomLow);
            break;
        case FieldKind::CustomHigh:
            putText(out, s.eCustomHigh);
            break;
        }
    }
    Q_ASSERT(out.size() == SetupFileSize);
    return out;
}

bool WriteSetupFile(QIODevice &file, const Setup &setup)
{
    const QByteArray bytes = setupFileBytes(setup);
    return file.write(bytes) == bytes.size();
}

namespace {

// Reads the fields after the signature, all of them there.
void readSetupBody(const char *body, Setup &setup)
{
    Setup read = setup;
    const char *p = body;
    for (const Field &f : fileOrder) {
        switch (f.kind) {
        case FieldKind::List:
            read.list(ListId(f.id)) = clampList(ListId(f.id), getInt32(p));
            p += 4;
            break;
        case FieldKind::Choice:
            read.choice(ChoiceId(f.id)) = clampChoice(ChoiceId(f.id), getInt32(p));
            p += 4;
            break;
        case FieldKind::SpeedShown:
            read.conversionSpeedShown = *p != 0;
            p += 1;
            break;
        case FieldKind::CustomLow:
            read.eCustomLow = getText(p);
            p += TextFieldSize;
            break;
        case FieldKind::CustomHigh:
            read.eCustomHigh = getText(p);
            p += TextFieldSize;
            break;
        }
    }
    setup = read;
}

} // namespace

bool ReadSetupFile(QIODevice &file, Setup &setup)
{
    const int bodySize = SetupFileSize - SignatureSize;
    QByteArray body;
    while (body.size() < bodySize) {
        const QByteArray chunk = file.read(bodySize - body.size());
        if (chunk.isEmpty())
            break;
        body += chunk;
    }
    // A damaged file that ends early is refused whole rather than half-read.
    if (body.size() < bodySize)
        return false;
    readSetupBody(body.constData(), setup);
    return true;
}

LoadStatus loadSetupFile(const QString &path, Setup &setup, QString *why)
{
    return loadSetupFileNative(QFile::encodeName(path), setup, why);
}

LoadStatus loadSetupFileNative(const QByteArray &nativePath, Setup &setup, QString *why)
{
    QByteArray bytes;
    if (!readRegularFile(nativePath, SetupFileSize, &bytes, why))
        return LoadStatus::CannotOpen;
    // A damaged file that ends early is refused whole rather than half-read.
    if (bytes.size() < SetupFileSize || std::memcmp(bytes.constData(), signatureText, SignatureSize) != 0) {
        if (why)
            *why = bytes.isEmpty() ? QStringLiteral("the file is empty") : QString();
        return LoadStatus::NotSetupFile;
    }
    readSetupBody(bytes.constData() + SignatureSize, setup);
    return LoadStatus::Ok;
}

bool saveSetupFile(const QString &path, const Setup &setup, QString *why)
{
    return writeWholeFile(path, setupFileBytes(setup), why);
}

namespace FileMessages {
QString couldNotBeOpened(const QString &path) { return path + QStringLiteral(" could not be opened."); }
QString couldNotBeOpened(const QString &path, const QString &why)
{
    return why.isEmpty() ? couldNotBeOpened(path) : path + QStringLiteral(" could not be opened: ") + why;
}
QString notASetupFile(const QString &path) { return path + QStringLiteral(" is not an HALVEX Switch File"); }
QString notASetupFile(const QString &path, const QString &why)
{
    return why.isEmpty() ? notASetupFile(path) : notASetupFile(path) + QStringLiteral(" (") + why + QLatin1Char(')');
}
QString couldNotBeSaved() { return QStringLiteral("File could not be saved."); }
} // namespace FileMessages

} // namespace hvx
