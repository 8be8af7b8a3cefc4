#pragma once
// The skin block format read by the skin engine (SkinH_EL.dll) and written by
// the skin generator.
//
// A block is a 16-byte header followed by a UTF-8 text payload:
//
//   offset  size  field
//   0       4     ".SHE"
//   4       2     format version, little endian (1)
//   6       2     header size, little endian (16)
//   8       4     payload size in bytes, little endian
//   12      4     CRC-32 (IEEE, as zlib computes it) of the payload
//   16      ...   payload; the block ends exactly where the payload ends
//
// The payload is a list of "key = value" lines ('#' starts a comment line),
// then optionally a line "[style]" after which everything up to the end is a
// Qt style-sheet template. In the template, ${key} stands for the value of a
// key whose value is a colour (#rrggbb) or a small integer; those are the
// only values that ever reach the style sheet, so the text of a name or a
// title can never change its meaning.
//
// Parsing never trusts a length or an offset it has not checked against the
// block's real size; every refusal says why.

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace skin {

inline constexpr char kMagic[4] = {'.', 'S', 'H', 'E'};
inline constexpr int kVersion = 1;
inline constexpr int kHeaderSize = 16;
// Bounds that no sensible skin comes near; they keep a hostile block from
// making the engine allocate or loop without end.
inline constexpr qsizetype kMaxPayload = qsizetype(1) << 20;
inline constexpr int kMaxEntries = 512;
inline constexpr int kMaxKeyLength = 40;
inline constexpr int kMaxValueLength = 200;
inline constexpr int kMaxIntegerValue = 999;

enum class Refusal {
    None = 0,
    NoBlock,            // null address or no bytes
    NotASkin,           // too short for a header, or the magic is wrong
    UnsupportedVersion, // a version or header size this engine does not read
    Damaged,            // sizes disagree, checksum mismatch, invalid UTF-8
    BadContent,         // a malformed line, key or value, or a missing colour
    NoApplication,      // the engine was called without a running QApplication
};

// One key and its value, in the order of the block.
using Entry = std::pair<QString, QString>;

struct SkinData {
    QList<Entry> entries;
    QString styleTemplate; // empty when the block has no [style] section

    // The value of key, or an empty string.
    QString value(const QString& key) const;
    bool has(const QString& key) const;
};

struct ParseResult {
    std::optional<SkinData> skin;
    Refusal refusal = Refusal::None;
    QString detail; // a short reason for a refusal, for diagnostics

    explicit operator bool() const { return skin.has_value(); }
};

quint32 crc32(const char* data, qsizetype size);

// Reads a block of `size` bytes at `data`. A null `data` or a size of 0 or
// less gives Refusal::NoBlock.
ParseResult parseSkin(const char* data, qsizetype size);
inline ParseResult parseSkin(const QByteArray& block) { return parseSkin(block.constData(), block.size()); }

// Builds a block around a UTF-8 payload (header, sizes and checksum).
QByteArray encodeSkin(const QByteArray& payload);

// "#rrggbb" exactly, or nothing.
std::optional<QColor> parseColour(const QString& text);
// Decimal 0..kMaxIntegerValue exactly, or nothing.
std::optional<int> parseSmallInteger(const QString& text);

} // namespace skin
