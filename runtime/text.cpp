#include "runtime/text.h"

#include <cstdio>

namespace rt {

Rgb composeRgb(int red, int green, int blue)
{
    return (Rgb(red) & 0xFF) | ((Rgb(green) & 0xFF) << 8) | ((Rgb(blue) & 0xFF) << 16);
}

QByteArray integerToBytes(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((u >> (8 * i)) & 0xFF);
    return bytes;
}

double integerToNumber(std::int32_t value) { return double(value); }

QString numberToText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return QString::fromLatin1(buffer);
}

QString foldFullWidth(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0xFF01 && c <= 0xFF5E)
            out += QChar(char16_t(c - 0xFF01 + 0x21));
        else if (c == 0xFFE5)
            out += QLatin1Char('$');
        else if (c == 0xFFE3)
            out += QLatin1Char('~');
        else if (c == 0x3000)
            out += QLatin1Char(' ');
        else if (c == 0x2606 || c == 0x2605)
            out += QLatin1Char('*');
        else
            out += ch;
    }
    return out;
}

std::int32_t textToInteger(const QString& text)
{
    const QString folded = foldFullWidth(text);
    qsizetype i = 0;
    const qsizetype n = folded.size();
    auto isSpace = [](char16_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < n && isSpace(folded[i].unicode()))
        ++i;
    bool negative = false;
    if (i < n && (folded[i] == QLatin1Char('+') || folded[i] == QLatin1Char('-'))) {
        negative = folded[i] == QLatin1Char('-');
        ++i;
    }
    std::uint32_t value = 0; // unsigned, so overflow wraps modulo 2^32 by definition
    for (; i < n; ++i) {
        const char16_t c = folded[i].unicode();
        if (c < '0' || c > '9')
            break;
        value = value * 10u + std::uint32_t(c - '0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

QString concatText(const QStringList& texts) { return texts.join(QString()); }

qsizetype byteLength(const QByteArray& bytes) { return bytes.size(); }

} // namespace rt
