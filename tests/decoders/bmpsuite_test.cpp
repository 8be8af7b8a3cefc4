// Every file of the BMP Suite's good, questionable and bad folders, with the
// verdict and reference rendering listed in bmpsuite_expected.tsv.

#include "test_util.h"

#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Expectation {
    bool accept = false;
    std::string reference; // empty: none
};

fs::path suiteDir() { return testutil::sourceDir() / "tests/corpora/bmpsuite"; }

std::map<std::string, Expectation> readExpectations()
{
    std::map<std::string, Expectation> table;
    std::ifstream in(testutil::sourceDir() / "tests/decoders/bmpsuite_expected.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string file, verdict, reference;
        fields >> file >> verdict >> reference;
        table[file] = {verdict == "accept", reference == "-" ? "" : reference};
    }
    return table;
}

TEST(BmpSuite, TableCoversEverySuiteFile)
{
    const auto table = readExpectations();
    std::set<std::string> onDisk;
    for (const char* dir : {"g", "q", "b"})
        for (const auto& entry : fs::directory_iterator(suiteDir() / dir))
            onDisk.insert(std::string(dir) + "/" + entry.path().filename().string());
    std::set<std::string> listed;
    for (const auto& [file, _] : table)
        listed.insert(file);
    EXPECT_EQ(onDisk, listed);
    EXPECT_GT(onDisk.size(), 80u);
}

TEST(BmpSuite, VerdictsAndPixels)
{
    for (const auto& [file, want] : readExpectations()) {
        SCOPED_TRACE(file);
        const auto bytes = testutil::readFile(suiteDir() / file);
        ASSERT_FALSE(bytes.empty());
        ASSERT_EQ(pic::recognizeFormat(bytes), pic::Format::Bmp);
        const pic::DecodeResult r = pic::decodePicture(bytes);
        ASSERT_EQ(r.ok(), want.accept) << r.error;
        if (!r.ok()) {
            EXPECT_FALSE(r.error.empty());
            continue;
        }
        EXPECT_EQ(r.image->pixels.size(), std::size_t(r.image->width) * r.image->height);
        EXPECT_FALSE(r.image->hasAlpha);
        if (want.reference.empty())
            continue;
        const QImage ref(QString::fromStdString((suiteDir() / "html" / want.reference).string()));
        ASSERT_FALSE(ref.isNull()) << want.reference;
        EXPECT_EQ(testutil::compareImages(*r.image, testutil::fromQImage(ref)), "");
    }
}

// The suite's file with indices beyond its 101-entry table: those pixels
// are black, the others come from the table, and nothing past it is read.
TEST(BmpSuite, IndicesBeyondTheTableAreBlack)
{
    const auto bytes = testutil::readFile(suiteDir() / "b/pal8badindex.bmp");
    const pic::DecodeResult r = pic::decodeBmp(bytes);
    ASSERT_TRUE(r.ok()) << r.error;
    const std::size_t offset = bytes[10] | (bytes[11] << 8);
    const int w = r.image->width, h = r.image->height, stride = (w + 3) / 4 * 4;
    int beyond = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned index = bytes[offset + std::size_t(h - 1 - y) * stride + x];
            const std::uint32_t got = r.image->pixels[std::size_t(y) * w + x];
            if (index >= 101) {
                ++beyond;
                EXPECT_EQ(got, 0xFF000000u);
            } else {
                const std::size_t e = 54 + 4 * index;
                EXPECT_EQ(got, 0xFF000000u | (bytes[e + 2] << 16) | (bytes[e + 1] << 8) | bytes[e]);
            }
        }
    EXPECT_GT(beyond, 0);
}

} // namespace
