#include "app/skin/skin_format.h"
#include "app/skin/skin_library.h"
#include "app/skin/skin_theme.h"

#include <gtest/gtest.h>
#include <cstring>
#include <random>

using skin::Refusal;

namespace {

QByteArray header(const char* magic, quint16 version, quint16 headerSize, quint32 payloadSize, quint32 crc)
{
    QByteArray h(magic, 4);
    auto le = [&h](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            h.append(char((v >> (8 * i)) & 0xff));
    };
    le(version, 2);
    le(headerSize, 2);
    le(payloadSize, 4);
    le(crc, 4);
    return h;
}

QByteArray withHeader(const QByteArray& payload)
{
    return header(".SHE", 1, 16, quint32(payload.size()), skin::crc32(payload.constData(), payload.size())) + payload;
}

} // namespace

TEST(SkinFormat, EncodedBlockReadsBack)
{
    const QByteArray payload = "# comment\r\nname = test\r\ntitle=青瓷\n  window =  #12aBef  \nempty=\n[style]\nQPushButton { color: ${window}; }\n";
    const QByteArray block = skin::encodeSkin(payload);
    ASSERT_EQ(block.size(), 16 + payload.size());
    EXPECT_EQ(block.left(4), ".SHE");
    EXPECT_EQ(block, withHeader(payload));

    const skin::ParseResult r = skin::parseSkin(block);
    ASSERT_TRUE(r) << qPrintable(r.detail);
    const QList<skin::Entry> expected = {{"name", "test"}, {"title", QStringLiteral("青瓷")}, {"window", "#12aBef"}, {"empty", ""}};
    EXPECT_EQ(r.skin->entries, expected);
    EXPECT_EQ(r.skin->styleTemplate, "QPushButton { color: ${window}; }\n");
    EXPECT_TRUE(r.skin->has("empty"));
    EXPECT_FALSE(r.skin->has("missing"));
}

TEST(SkinFormat, Crc32MatchesTheStandardCheckValue)
{
    EXPECT_EQ(skin::crc32("123456789", 9), 0xcbf43926u);
    EXPECT_EQ(skin::crc32("", 0), 0u);
}

TEST(SkinFormat, StyleSectionMayBeEmptyOrAbsent)
{
    ASSERT_TRUE(skin::parseSkin(skin::encodeSkin("a=1\n[style]")));
    EXPECT_TRUE(skin::parseSkin(skin::encodeSkin("a=1\n[style]")).skin->styleTemplate.isEmpty());
    ASSERT_TRUE(skin::parseSkin(skin::encodeSkin("a=1")));
    ASSERT_TRUE(skin::parseSkin(skin::encodeSkin("")));
}

struct BadBlock {
    const char* what;
    QByteArray block;
    Refusal refusal;
};

TEST(SkinFormat, RefusesWhatIsNotASoundSkin)
{
    const QByteArray good = "window=#ffffff\n";
    const quint32 crc = skin::crc32(good.constData(), good.size());
    QByteArray manyEntries;
    for (int i = 0; i <= skin::kMaxEntries; ++i)
        manyEntries += "k" + QByteArray::number(i) + "=1\n";

    const BadBlock cases[] = {
        {"empty", QByteArray(), Refusal::NoBlock},
        {"short header", QByteArray(".SHE\x01\x00\x10\x00", 8), Refusal::NotASkin},
        {"fifteen bytes", header(".SHE", 1, 16, 0, 0).left(15), Refusal::NotASkin},
        {"other magic", header(".SHF", 1, 16, quint32(good.size()), crc) + good, Refusal::NotASkin},
        {"an executable", QByteArray("\x7f" "ELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00", 18), Refusal::NotASkin},
        {"version 2", header(".SHE", 2, 16, quint32(good.size()), crc) + good, Refusal::UnsupportedVersion},
        {"version 0", header(".SHE", 0, 16, quint32(good.size()), crc) + good, Refusal::UnsupportedVersion},
        {"header size 20", header(".SHE", 1, 20, quint32(good.size()), crc) + good, Refusal::UnsupportedVersion},
        {"payload longer than block", header(".SHE", 1, 16, quint32(good.size() + 1), crc) + good, Refusal::Damaged},
        {"trailing bytes", header(".SHE", 1, 16, quint32(good.size() - 1), crc) + good, Refusal::Damaged},
        {"payload size near 4 GiB", header(".SHE", 1, 16, 0xfffffff0u, crc) + good, Refusal::Damaged},
        {"checksum off by one", header(".SHE", 1, 16, quint32(good.size()), crc + 1) + good, Refusal::Damaged},
        {"invalid UTF-8", withHeader("title=\xff\xfe\n"), Refusal::Damaged},
        {"overlong UTF-8", withHeader("title=\xc0\xaf\n"), Refusal::Damaged},
        {"UTF-16 surrogate in UTF-8", withHeader("title=\xed\xa0\x80\n"), Refusal::Damaged},
        {"cut UTF-8 sequence", withHeader("title=\xe9\x9d"), Refusal::Damaged},
        {"NUL byte", withHeader(QByteArray("a=1\0b=2\n", 8)), Refusal::BadContent},
        {"escape character", withHeader("a=\x1b[31m\n"), Refusal::BadContent},
        {"line without '='", withHeader("window #ffffff\n"), Refusal::BadContent},
        {"upper-case key", withHeader("Window=#ffffff\n"), Refusal::BadContent},
        {"key starting with a digit", withHeader("9a=1\n"), Refusal::BadContent},
        {"empty key", withHeader("=1\n"), Refusal::BadContent},
        {"key with a brace", withHeader("a}b=1\n"), Refusal::BadContent},
        {"key too long", withHeader(QByteArray(skin::kMaxKeyLength + 1, 'a') + "=1\n"), Refusal::BadContent},
        {"value too long", withHeader("a=" + QByteArray(skin::kMaxValueLength + 1, 'x') + "\n"), Refusal::BadContent},
        {"duplicate key", withHeader("a=1\nb=2\na=3\n"), Refusal::BadContent},
        {"unknown section", withHeader("a=1\n[colours]\nb=2\n"), Refusal::BadContent},
        {"too many entries", withHeader(manyEntries), Refusal::BadContent},
    };
    for (const BadBlock& c : cases) {
        const skin::ParseResult r = skin::parseSkin(c.block);
        EXPECT_FALSE(r) << c.what;
        EXPECT_EQ(int(r.refusal), int(c.refusal)) << c.what << ": " << qPrintable(r.detail);
    }
    EXPECT_EQ(skin::parseSkin(nullptr, 100).refusal, Refusal::NoBlock);
    EXPECT_EQ(skin::parseSkin(good.constData(), -1).refusal, Refusal::NoBlock);
}

TEST(SkinFormat, PayloadAtTheSizeLimitIsReadAndOneByteMoreIsNot)
{
    QByteArray payload = "a=1\n[style]\n";
    payload += QByteArray(skin::kMaxPayload - payload.size(), ' ');
    EXPECT_TRUE(skin::parseSkin(skin::encodeSkin(payload)));
    payload += ' ';
    EXPECT_EQ(skin::parseSkin(skin::encodeSkin(payload)).refusal, Refusal::Damaged);
}

// Every prefix of a real skin is refused; read from a buffer of exactly
// that size, so a read past the end shows under AddressSanitizer.
TEST(SkinFormat, EveryTruncatedSkinIsRefused)
{
    const QByteArray block = app::embeddedSkin(app::kStartupSkin);
    ASSERT_FALSE(block.isEmpty());
    ASSERT_TRUE(skin::parseSkin(block));
    for (qsizetype n = 0; n < block.size(); ++n) {
        std::unique_ptr<char[]> exact(new char[size_t(std::max<qsizetype>(n, 1))]);
        std::memcpy(exact.get(), block.constData(), size_t(n));
        EXPECT_FALSE(skin::buildTheme(exact.get(), n)) << "prefix of " << n << " bytes";
    }
}

// Damage inside the payload with a header made to match, so the parser and
// the theme builder see it rather than the checksum: never a crash, and the
// result is either a theme or a refusal with a reason.
TEST(SkinFormat, DamagedPayloadsNeverCrash)
{
    const QByteArray block = app::embeddedSkin(app::kStartupSkin);
    const QByteArray payload = block.mid(skin::kHeaderSize);
    std::mt19937 random(20261211);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = payload;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = qsizetype(random() % quint32(damaged.size()));
            switch (random() % 3) {
            case 0: damaged[at] = char(damaged[at] ^ (1 << (random() % 8))); break;
            case 1: damaged.truncate(at); break;
            default: damaged.insert(at, "${"); break;
            }
            if (damaged.isEmpty())
                break;
        }
        const QByteArray rebuilt = skin::encodeSkin(damaged);
        const skin::ThemeResult t = skin::buildTheme(rebuilt.constData(), rebuilt.size());
        if (!t) {
            EXPECT_FALSE(t.detail.isEmpty());
        }
    }
}
