// Fuzz target of the list parser: any bytes, probing or not, fed in pieces
// whose size the first byte chooses; entry lines of every form (tag lines
// among them), and names read as UTF-8 or ANSI as the whole input decides.
// Beyond the sanitizers' checks: the pieces must not matter, and no entry
// may be longer than the longest path.
#include "engine/ListParser.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

class TRecorder final : public TListParser {
public:
    std::u16string Outcome; // paths and digests, then result and line

    void Parse(const uint8_t* data, size_t size, size_t piece, bool probe) {
        data_ = data;
        size_ = size;
        InitParser(probe);
        bool more = true;
        for (size_t at = 0; more && at < size; at += piece)
            more = ParseChunk(data + at, std::min(piece, size - at));
        if (more)
            FinishParse();
        if (Info().Result > fprWrongSymbol || Info().Line > size + 1)
            std::abort();
        Outcome += {char16_t(Info().Result), char16_t(Info().Line)};
    }

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override {
        if (path.size() > kMaxPathUnits)
            std::abort();
        Outcome += path;
        Outcome.append(std::begin(digest), std::end(digest));
    }
    uint32_t CheckUtf8(bool& utf8) override {
        TUtf8Check check;
        check.Put(data_, size_);
        utf8 = check.WellFormed();
        return 0;
    }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool probe = (data[0] & 0x80) != 0;
    TRecorder inPieces, whole;
    inPieces.Parse(data + 1, size - 1, (data[0] & 0x7F) + 1u, probe);
    whole.Parse(data + 1, size - 1, size, probe);
    if (inPieces.Outcome != whole.Outcome)
        std::abort();
    return 0;
}
