#include "app/skin/skin_format.h"

#include <QStringDecoder>
#include <QStringView>
#include <array>
#include <cstring>

namespace skin {

namespace {

quint32 readLe32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 readLe16(const unsigned char* p)
{
    return quint16(p[0] | p[1] << 8);
}

void appendLe(QByteArray& out, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

ParseResult refuse(Refusal why, const QString& detail)
{
    ParseResult r;
    r.refusal = why;
    r.detail = detail;
    return r;
}

bool validKey(QStringView key)
{
    if (key.isEmpty() || key.size() > kMaxKeyLength)
        return false;
    if (key[0] < u'a' || key[0] > u'z')
        return false;
    for (QChar c : key) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
        if (!ok)
            return false;
    }
    return true;
}

// Control characters other than tab, carriage return and line feed have no
// place in a skin; refusing them keeps NULs and escapes out of style sheets.
bool hasForbiddenControl(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || u == 0x7f)
            return true;
    }
    return false;
}

} // namespace

QString SkinData::value(const QString& key) const
{
    for (const Entry& e : entries)
        if (e.first == key)
            return e.second;
    return {};
}

bool SkinData::has(const QString& key) const
{
    for (const Entry& e : entries)
        if (e.first == key)
            return true;
    return false;
}

quint32 crc32(const char* data, qsizetype size)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

ParseResult parseSkin(const char* data, qsizetype size)
{
    if (!data || size <= 0)
        return refuse(Refusal::NoBlock, QStringLiteral("no block"));
    if (size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return refuse(Refusal::NotASkin, QStringLiteral("not a skin block"));
    const auto* head = reinterpret_cast<const unsigned char*>(data);
    if (readLe16(head + 4) != kVersion || readLe16(head + 6) != kHeaderSize)
        return refuse(Refusal::UnsupportedVersion, QStringLiteral("unsupported version"));
    const quint32 payloadSize = readLe32(head + 8);
    // Compared in 64 bits: a payload size near 4 GiB must not wrap around.
    if (payloadSize > quint64(kMaxPayload) || quint64(size) != quint64(kHeaderSize) + payloadSize)
        return refuse(Refusal::Damaged, QStringLiteral("block size does not match its header"));
    const char* payload = data + kHeaderSize;
    if (crc32(payload, payloadSize) != readLe32(head + 12))
        return refuse(Refusal::Damaged, QStringLiteral("checksum mismatch"));

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(payload, qsizetype(payloadSize)));
    if (decoder.hasError())
        return refuse(Refusal::Damaged, QStringLiteral("payload is not UTF-8"));
    if (hasForbiddenControl(text))
        return refuse(Refusal::BadContent, QStringLiteral("control character in payload"));

    SkinData skin;
    qsizetype pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).mid(pos, end - pos).trimmed();
        const qsizetype next = end + 1;
        ++lineNumber;
        pos = next;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line == u"[style]") {
            if (next < text.size())
                skin.styleTemplate = text.mid(next);
            break;
        }
        const QString where = QStringLiteral("line %1").arg(lineNumber);
        if (line.startsWith(u'['))
            return refuse(Refusal::BadContent, where + QStringLiteral(": unknown section"));
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            return refuse(Refusal::BadContent, where + QStringLiteral(": no '='"));
        const QStringView key = line.left(eq).trimmed();
        const QStringView value = line.mid(eq + 1).trimmed();
        if (!validKey(key))
            return refuse(Refusal::BadContent, where + QStringLiteral(": bad key"));
        if (value.size() > kMaxValueLength)
            return refuse(Refusal::BadContent, where + QStringLiteral(": value too long"));
        if (skin.entries.size() >= kMaxEntries)
            return refuse(Refusal::BadContent, QStringLiteral("too many entries"));
        if (skin.has(key.toString()))
            return refuse(Refusal::BadContent, where + QStringLiteral(": duplicate key"));
        skin.entries.append({key.toString(), value.toString()});
    }
    ParseResult r;
    r.skin = std::move(skin);
    return r;
}

QByteArray encodeSkin(const QByteArray& payload)
{
    QByteArray out;
    out.reserve(kHeaderSize + payload.size());
    out.append(kMagic, sizeof kMagic);
    appendLe(out, kVersion, 2);
    appendLe(out, kHeaderSize, 2);
    appendLe(out, quint32(payload.size()), 4);
    appendLe(out, crc32(payload.constData(), payload.size()), 4);
    out.append(payload);
    return out;
}

std::optional<QColor> parseColour(const QString& text)
{
    if (text.size() != 7 || text[0] != u'#')
        return std::nullopt;
    for (qsizetype i = 1; i < 7; ++i) {
        const char16_t c = text[i].unicode();
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return std::nullopt;
    }
    return QColor::fromString(text);
}

std::optional<int> parseSmallInteger(const QString& text)
{
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    int v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

} // namespace skin
