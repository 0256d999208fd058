// Feeds the settings reader a large, fixed sequence of damaged settings texts. This executable
// compiles the reader with bounds-checked standard containers, so a read past the end of the
// text aborts the run instead of passing unnoticed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/settings/settings_compare.h"

namespace {

// SplitMix64: small, fast and the same sequence on every platform.
struct Random {
    uint64_t state;
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
};

// Bytes that matter to the reader, so that mutations often reach its deeper branches.
const char kInteresting[] = "{}\":,\\utfnrb0123456789-+ .e\n\t\x00\x7F\x80\xC3\xEF\xFF";

char RandomByte(Random& random)
{
    if (random.Below(2) == 0) return kInteresting[random.Below(sizeof kInteresting - 1)];
    return static_cast<char>(random.Below(256));
}

void Mutate(std::string& text, Random& random)
{
    const size_t at = random.Below(text.size() + 1);
    switch (random.Below(6)) {
    case 0:  // flip one bit
        if (at < text.size()) text[at] = static_cast<char>(text[at] ^ (1 << random.Below(8)));
        break;
    case 1:  // overwrite a byte
        if (at < text.size()) text[at] = RandomByte(random);
        break;
    case 2: text.insert(text.begin() + static_cast<ptrdiff_t>(at), RandomByte(random)); break;
    case 3:
        if (at < text.size()) text.erase(at, 1 + random.Below(4));
        break;
    case 4: text.resize(at); break;
    default:  // repeat a slice, which duplicates keys and separators
        if (at < text.size()) text.insert(at, text.substr(at, 1 + random.Below(24)));
        break;
    }
}

std::vector<std::string> SeedTexts()
{
    AppSettings placed = DefaultSettings();
    placed.hasWindowPos = true;
    placed.winX = -40;
    placed.winY = 30;
    return {
        FormatSettingsText(DefaultSettings()),
        FormatSettingsText(UnusualSettings()),
        FormatSettingsText(placed),
        "{\"sequenceType\":1,\"seqStart\":5,\"seqStep\":2,\"seqPad\":4,\"placement\":1,\"insertPos\":0,"
        "\"fontPt\":13,\"winX\":5}",
        "{ \"x\": \"\\u00e9\\\\\", \"y\": true, \"inputDir\": \"C:\\\\\xC3\xA9\\ud83d\", "
        "\"z\": -9223372036854775808 , \"search\": \"\\t\\\"\",}",
    };
}

}  // namespace

TEST(SettingsFileFuzz, DamagedTextsNeverCrashAndFailedLoadsChangeNothing)
{
    constexpr int kRuns = 120000;
    const std::vector<std::string> seeds = SeedTexts();
    const AppSettings sentinel = UnusualSettings();
    Random random{20261208};
    int accepted = 0;
    AppSettings target = sentinel;
    for (int run = 0; run < kRuns; ++run) {
        std::string text = seeds[random.Below(seeds.size())];
        const size_t mutations = 1 + random.Below(4);
        for (size_t m = 0; m < mutations; ++m) Mutate(text, random);
        if (!ParseSettingsText(text, target)) {
            ASSERT_EQ(SettingsDifference(target, sentinel), "") << "run " << run;
            continue;
        }
        ++accepted;
        // Whatever was accepted is in range and survives a write and a read unchanged, except
        // that a written file always holds "winX" and so reads back as a saved position.
        AppSettings clamped = target;
        ClampSettings(clamped);
        ASSERT_EQ(SettingsDifference(clamped, target), "") << "run " << run;
        AppSettings again = sentinel;
        ASSERT_TRUE(ParseSettingsText(FormatSettingsText(target), again)) << "run " << run;
        ASSERT_TRUE(again.hasWindowPos) << "run " << run;
        again.hasWindowPos = target.hasWindowPos;
        ASSERT_EQ(SettingsDifference(again, target), "") << "run " << run;
        target = sentinel;
    }
    // Both outcomes must be well represented, or the mutations are too mild or too harsh.
    EXPECT_GT(accepted, kRuns / 10);
    EXPECT_LT(accepted, kRuns * 9 / 10);
    RecordProperty("accepted", accepted);
    std::printf("%d damaged texts, %d accepted, %d rejected\n", kRuns, accepted, kRuns - accepted);
}
