#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

template <typename Hash> std::string DigestText(std::string_view data) {
    Hash hash;
    hash.Init();
    hash.Update(data.data(), static_cast<int64_t>(data.size()));
    hash.Final();
    return BinToHex(hash.Digest(), 16);
}

std::string Md5Text(std::string_view data) {
    return DigestText<TMD5Hash>(data);
}

// The digest of data fed in pieces of the given size.
std::string Md5InPieces(const std::vector<uint8_t>& data, size_t piece) {
    TMD5Hash hash;
    hash.Init();
    for (size_t offset = 0; offset < data.size(); offset += piece)
        hash.Update(data.data() + offset,
                    static_cast<int64_t>(std::min(piece, data.size() - offset)));
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

// Lengths 55 and 119 leave room for the length in the last block; 56, 63,
// 64 and their twins one block further need a block of padding of its own.
TEST(TMD5Hash, PadsEveryLengthAroundTheBlockEnd) {
    const std::pair<size_t, const char*> cases[] = {
        {55, "EF1772B6DFF9A122358552954AD0DF65"},  {56, "3B0C8AC703F828B04C6C197006D17218"},
        {63, "B06521F39153D618550606BE297466D5"},  {64, "014842D480B571495A4A0363793F7367"},
        {119, "8A7BD0732ED6A28CE75F6DABC90E1613"}, {120, "5F61C0CCAD4CAC44C75FF505E1F1E537"},
        {127, "020406E1D05CDC2AA287641F7AE2CC39"}, {128, "E510683B3F5FFE4093D021808BC6FF70"}};
    for (const auto& [length, digest] : cases)
        EXPECT_EQ(Md5Text(std::string(length, 'a')), digest) << length << " bytes";
}

TEST(TMD5Hash, GivesTheSameDigestWhateverThePiecesOfTheData) {
    std::vector<uint8_t> data(3 * 4096 + 77);
    std::mt19937 random(7);
    for (uint8_t& byte : data)
        byte = static_cast<uint8_t>(random());
    const std::string whole = Md5InPieces(data, data.size());
    for (size_t piece : {1, 3, 63, 64, 65, 4095, 4096})
        EXPECT_EQ(Md5InPieces(data, piece), whole) << "pieces of " << piece;
}

TEST(TMD5Hash, StartsAfreshAfterInitAndIgnoresEmptyOrNegativeLengths) {
    TMD5Hash hash;
    hash.Init();
    hash.Update("some earlier file", 17);
    hash.Final();
    hash.Init();
    hash.Update("abc", 0);
    hash.Update("abc", -5);
    hash.Update("abc", 3);
    hash.Final();
    EXPECT_EQ(BinToHex(hash.Digest(), 16), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(hash.DigestSize(), 16);
}

TEST(HexText, ConvertsDigestsBothWays) {
    const uint8_t bytes[] = {0x00, 0x9A, 0xBC, 0xFF};
    EXPECT_EQ(BinToHex(bytes, 4), "009ABCFF");
    EXPECT_EQ(BinToHex(bytes, 0), "");

    uint8_t lower[2] = {};
    uint8_t upper[2] = {};
    HexToBin("ab0f", lower);
    HexToBin("AB0F", upper);
    EXPECT_EQ(lower[0], 0xAB);
    EXPECT_EQ(lower[1], 0x0F);
    EXPECT_EQ(upper[0], 0xAB);
    EXPECT_EQ(upper[1], 0x0F);

    // A digest survives the text form and a copy.
    TMD5Hash hash;
    hash.Init();
    hash.Final();
    uint8_t back[16] = {};
    uint8_t copy[16] = {};
    HexToBin(BinToHex(hash.Digest(), 16), back);
    CopyDigest(back, copy);
    EXPECT_EQ(BinToHex(copy, 16), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(HexText, WritesOneByteForEveryTwoCharacters) {
    uint8_t bytes[3] = {0x11, 0x22, 0x33};
    HexToBin("FFE", bytes); // the odd last character is not read
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x22);
}

} // namespace
