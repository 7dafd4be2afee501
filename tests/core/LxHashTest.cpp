#include "engine/LxHash.h"

#include <gtest/gtest.h>

namespace {

template <typename Hash> std::string DigestText(std::string_view data) {
    Hash hash;
    hash.Init();
    hash.Update(data.data(), static_cast<int64_t>(data.size()));
    hash.Final();
    return BinToHex(hash.Digest(), 16);
}

TEST(LxHash, GivesTheDigestsOfTheRfc1320AndRfc1321TestSuites) {
    const struct {
        std::string Text;
        const char* Md4;
        const char* Md5;
    } suite[] = {
        {"", "31D6CFE0D16AE931B73C59D7E0C089C0", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "BDE52CB31DE33E46245E05FBDBD6FB24", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "A448017AAF21D8525FC10AE87AA6729D", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "D9130A8164549FE818874806E1C7014B", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "D79E1C308AA5BBCDEEA8ED63DF412DA9",
         "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "043F8582F241DB351CE627E153E7F0E4", "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "E33B4DDC9C38F2199C3E7B164FCC0536", "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const auto& test : suite) {
        EXPECT_EQ(DigestText<TMD4Hash>(test.Text), test.Md4) << test.Text;
        EXPECT_EQ(DigestText<TMD5Hash>(test.Text), test.Md5) << test.Text;
    }
}

} // namespace
