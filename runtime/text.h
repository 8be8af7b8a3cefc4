#pragma once
// Numbers, colours and texts as the handlers exchange them.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace rt {

// A colour value: red in the low byte, green in the next, blue in the third,
// top byte 0.
using Rgb = std::uint32_t;

// red + green * 256 + blue * 65536 from the low 8 bits of each channel; no
// clamping, so 256 gives 0 and -1 gives 255.
Rgb composeRgb(int red, int green, int blue);
constexpr int redOf(Rgb c) { return int(c & 0xFF); }
constexpr int greenOf(Rgb c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Rgb c) { return int((c >> 16) & 0xFF); }

// Four bytes, least significant first.
QByteArray integerToBytes(std::int32_t value);
double integerToNumber(std::int32_t value);

// printf "%.13g": 185.0 gives "185", -1.0 gives "-1".
QString numberToText(double value);

// Full-width forms folded to ASCII, leading white space skipped, one
// optional sign, decimal digits up to the first other character; no digits
// give 0; overflow wraps modulo 2^32.
std::int32_t textToInteger(const QString& text);

// Folds the full-width and ideographic forms of ASCII characters that the
// GBK code page encodes as two-byte forms (A3xx, A1A1, A1AB, A1EE, A1EF).
QString foldFullWidth(const QString& text);

QString concatText(const QStringList& texts);
qsizetype byteLength(const QByteArray& bytes);

} // namespace rt
